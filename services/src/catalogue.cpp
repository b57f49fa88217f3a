#include "catalogue.h"

#include <algorithm>

namespace vx::svc {

namespace fs = std::filesystem;

const std::vector<int>& WallpaperCatalogue::Types() {
  static const std::vector<int> types = {kHotType, 37, 38, 47, 50, 49, 39, 42, 41, 43};
  return types;
}

std::optional<WallpaperCatalogue> WallpaperCatalogue::Scan(const fs::path& contentRoot,
                                                           std::string* error) {
  std::map<int, std::vector<WallpaperPic>> byType;
  for (int type : Types()) {
    if (type == kHotType) continue;
    const std::string rel = "wallpaper/" + std::to_string(type);
    const fs::path big = contentRoot / rel / "big";
    std::error_code ec;
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(big, ec))
      if (e.is_regular_file() && e.path().extension() == ".jpg") names.push_back(e.path().filename().string());
    if (ec) {
      if (error) *error = "cannot list " + big.string() + ": " + ec.message();
      return std::nullopt;
    }
    std::sort(names.begin(), names.end());
    auto& pics = byType[type];
    for (const auto& n : names) {
      if (!fs::is_regular_file(contentRoot / rel / "small" / n)) {
        if (error) *error = "no thumbnail for " + rel + "/big/" + n;
        return std::nullopt;
      }
      pics.push_back({rel + "/small/" + n, rel + "/big/" + n});
    }
  }
  return FromPictures(std::move(byType));
}

WallpaperCatalogue WallpaperCatalogue::FromPictures(std::map<int, std::vector<WallpaperPic>> byType) {
  WallpaperCatalogue cat;
  std::vector<WallpaperPic> hot;
  for (size_t i = 0;; ++i) {
    bool any = false;
    for (int type : Types()) {
      auto it = byType.find(type);
      if (type == kHotType || it == byType.end() || i >= it->second.size()) continue;
      hot.push_back(it->second[i]);
      any = true;
    }
    if (!any) break;
  }
  byType[kHotType] = std::move(hot);
  cat.byType_ = std::move(byType);
  return cat;
}

const std::vector<WallpaperPic>* WallpaperCatalogue::Pictures(int type) const {
  auto it = byType_.find(type);
  return it == byType_.end() ? nullptr : &it->second;
}

int WallpaperCatalogue::Pages(size_t pictures) {
  return int((pictures + kPicturesPerList - 1) / kPicturesPerList);
}

std::vector<WallpaperPic> WallpaperCatalogue::List(const std::vector<WallpaperPic>& pics, long list) {
  std::vector<WallpaperPic> out;
  if (pics.empty() || list < 1 || list > Pages(pics.size())) return out;
  const size_t first = size_t(list - 1) * kPicturesPerList;
  for (size_t i = 0; i < kPicturesPerList; ++i) out.push_back(pics[(first + i) % pics.size()]);
  return out;
}

std::optional<long> ParseDecimal(std::string_view text) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) i = 1;
  const size_t digits = text.size() - i;
  if (digits == 0 || digits > 9) return std::nullopt;
  long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    v = v * 10 + (text[i] - '0');
  }
  return negative ? -v : v;
}

}  // namespace vx::svc
