#pragma once
// The wallpaper history: the paths set as wallpaper, oldest first, the last one the
// wallpaper now shown. Kept in a small UTF-8 text file so that "还原" reaches back across
// runs.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace wall {

class WallHistory {
 public:
  using Exists = std::function<bool(const std::wstring&)>;
  // Older entries beyond this are dropped when a new one comes: the file stays small.
  static constexpr size_t kMaxEntries = 64;

  const std::vector<std::wstring>& Entries() const { return entries_; }
  bool Empty() const { return entries_.empty(); }
  // TRUE when `path` is the newest entry (paths compare without regard to ASCII case, as
  // the file system does).
  bool IsNewest(const std::wstring& path) const;
  void Append(const std::wstring& path);
  // Drops every entry of `path` (the start-up backup reuses its name each run: entries of
  // the old backup would now restore a different picture).
  void Forget(const std::wstring& path);
  // Goes back: entries below the newest whose file is gone are dropped on the way; the
  // first one that exists becomes the newest (the entry above it goes) and is returned.
  std::optional<std::wstring> TakePrevious(const Exists& exists);
  // Whether TakePrevious would find anything (nothing is changed).
  bool HasPrevious(const Exists& exists) const;

  std::string Serialize() const;
  // Nothing when the bytes are not a history file; lines that cannot be a path are left out.
  static std::optional<WallHistory> Parse(const std::string& bytes);

 private:
  std::vector<std::wstring> entries_;
};

// The start-up backup's file name for a wallpaper path: "first00000" + its extension (from
// the last "." of the file name, dot included); empty when the file name has no extension.
std::wstring BackupName(const std::wstring& wallpaperPath);

// UTF-8 and wide text (UTF-16 where wchar_t is 16 bits).
std::string ToUtf8(const std::wstring& text);
std::optional<std::wstring> FromUtf8(const std::string& text);

}  // namespace wall
