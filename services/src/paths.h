// Mapping request paths onto the content folder without ever leaving it.
#pragma once
#include <filesystem>
#include <optional>
#include <string_view>

namespace vx::svc {

// True for a decoded request path that names something inside the folder: no "..", "."
// or empty segments, no backslash, colon or control character, not too long.
bool IsSafeRelativePath(std::string_view decodedPath);

// The file `decodedPath` names below `root` (which must be canonical), or nothing when the
// path is unsafe or resolves (through links) outside `root`. Existence is not checked.
std::optional<std::filesystem::path> ResolveInside(const std::filesystem::path& root,
                                                   std::string_view decodedPath);

}  // namespace vx::svc
