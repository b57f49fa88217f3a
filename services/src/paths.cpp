#include "paths.h"

namespace vx::svc {

namespace fs = std::filesystem;

bool IsSafeRelativePath(std::string_view p) {
  if (p.empty() || p.size() > 1024) return false;
  if (p.front() == '/') p.remove_prefix(1);
  if (p.empty()) return false;
  size_t start = 0;
  while (start <= p.size()) {
    size_t end = p.find('/', start);
    if (end == std::string_view::npos) end = p.size();
    const std::string_view seg = p.substr(start, end - start);
    if (seg.empty() || seg == "." || seg == "..") return false;
    for (char c : seg) {
      const auto u = static_cast<unsigned char>(c);
      // A backslash is a separator to the Windows clients; a colon could name a drive.
      if (u < 0x20 || u == 0x7f || c == '\\' || c == ':') return false;
    }
    start = end + 1;
  }
  return true;
}

std::optional<fs::path> ResolveInside(const fs::path& root, std::string_view decodedPath) {
  if (!IsSafeRelativePath(decodedPath)) return std::nullopt;
  if (decodedPath.front() == '/') decodedPath.remove_prefix(1);
  const fs::path joined = root / fs::path(std::string(decodedPath));
  std::error_code ec;
  const fs::path real = fs::weakly_canonical(joined, ec);
  if (ec) return std::nullopt;
  // A link inside the folder must not lead out of it.
  auto r = root.begin();
  auto q = real.begin();
  for (; r != root.end(); ++r, ++q)
    if (q == real.end() || *r != *q) return std::nullopt;
  return real;
}

}  // namespace vx::svc
