#include "wallpaper/core/wall_history.h"

#include <algorithm>

#include "uilib/core/vx_utf8.h"

namespace wall {

namespace {

constexpr char kMagic[] = "VXWALLHIS 1";

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

bool SamePath(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    wchar_t x = FoldAscii(a[i]), y = FoldAscii(b[i]);
    if (x == L'/') x = L'\\';
    if (y == L'/') y = L'\\';
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::string ToUtf8(const std::wstring& text) { return VxWideToUtf8(text); }

std::optional<std::wstring> FromUtf8(const std::string& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + extra >= text.size() + (extra ? 0 : 1)) return std::nullopt;
    unsigned long cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const unsigned char d = static_cast<unsigned char>(text[i + k]);
      if ((d & 0xC0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (d & 0x3F);
    }
    static const unsigned long kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    VxAppendWide(out, static_cast<char32_t>(cp));
    i += extra + 1;
  }
  return out;
}

bool WallHistory::IsNewest(const std::wstring& path) const {
  return !entries_.empty() && SamePath(entries_.back(), path);
}

void WallHistory::Append(const std::wstring& path) {
  entries_.push_back(path);
  if (entries_.size() > kMaxEntries) entries_.erase(entries_.begin(), entries_.end() - kMaxEntries);
}

void WallHistory::Forget(const std::wstring& path) {
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [&](const std::wstring& e) { return SamePath(e, path); }),
                 entries_.end());
}

std::optional<std::wstring> WallHistory::TakePrevious(const Exists& exists) {
  while (entries_.size() >= 2) {
    const size_t below = entries_.size() - 2;
    if (exists(entries_[below])) {
      entries_.pop_back();
      return entries_.back();
    }
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(below));
  }
  return std::nullopt;
}

bool WallHistory::HasPrevious(const Exists& exists) const {
  return entries_.size() >= 2 &&
         std::any_of(entries_.begin(), entries_.end() - 1, [&](const std::wstring& e) { return exists(e); });
}

std::string WallHistory::Serialize() const {
  std::string out = std::string(kMagic) + "\n";
  for (const auto& e : entries_) out += ToUtf8(e) + "\n";
  return out;
}

std::optional<WallHistory> WallHistory::Parse(const std::string& bytes) {
  const std::string magic = std::string(kMagic) + "\n";
  if (bytes.compare(0, magic.size(), magic) != 0) return std::nullopt;
  WallHistory history;
  size_t start = magic.size();
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(start, end - start);
    start = end + 1;
    if (line.empty() || line.size() > 4 * 1024 ||
        std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
      continue;
    if (auto path = FromUtf8(line)) history.Append(*path);
  }
  return history;
}

std::wstring BackupName(const std::wstring& wallpaperPath) {
  const size_t sep = wallpaperPath.find_last_of(L"\\/");
  const size_t dot = wallpaperPath.rfind(L'.');
  if (dot == std::wstring::npos || (sep != std::wstring::npos && dot < sep)) return std::wstring();
  return L"first00000" + wallpaperPath.substr(dot);
}

}  // namespace wall
