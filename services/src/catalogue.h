// The wallpaper catalogue: pictures by server type code, handed out in lists of exactly eight.
#pragma once
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx::svc {

constexpr int kPicturesPerList = 8;
constexpr int kHotType = -1;

struct WallpaperPic {
  std::string smallpic;  // server-relative, no leading "/": the client puts its base in front
  std::string bigpic;
};

class WallpaperCatalogue {
 public:
  // The type codes the wallpaper program asks for: -1 (hot) and the nine categories.
  static const std::vector<int>& Types();
  // Reads wallpaper/<type>/big/*.jpg with the thumbnail of the same name in small/.
  // The hot list takes the categories' pictures in turn.
  static std::optional<WallpaperCatalogue> Scan(const std::filesystem::path& contentRoot,
                                                std::string* error);
  static WallpaperCatalogue FromPictures(std::map<int, std::vector<WallpaperPic>> byType);

  const std::vector<WallpaperPic>* Pictures(int type) const;

  // Lists needed to show `pictures` pictures, eight to a list.
  static int Pages(size_t pictures);
  // List `list` (from 1) of `pics`: always eight entries; the last list wraps round to the
  // first pictures when the count is not a multiple of eight. Empty when out of range.
  static std::vector<WallpaperPic> List(const std::vector<WallpaperPic>& pics, long list);

 private:
  std::map<int, std::vector<WallpaperPic>> byType_;
};

// A strict decimal parameter: optional "-", 1..9 digits, nothing else.
std::optional<long> ParseDecimal(std::string_view text);

}  // namespace vx::svc
