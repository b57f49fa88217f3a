// The CF_HDROP block a drag or the clipboard brings from another program: any bytes read
// without fault (AddressSanitizer stops any read past the block), a refused block gives no
// path, every path read is one a block can hold, and the paths of a wide block rebuild into
// a block that reads back the same.
#include "desk/core/fuzz/fuzz_check.h"
#include "uilib/core/vx_dropfiles.h"

namespace {
template <typename Strings>
void CheckPaths(const Strings& paths) {
  for (const auto& p : paths) {
    FUZZ_CHECK(!p.empty());
    FUZZ_CHECK(p.size() <= kVxDropFilesMaxPath);
    FUZZ_CHECK(p.find(typename Strings::value_type::value_type(0)) == Strings::value_type::npos);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const VxDropFiles r = VxReadDropFiles(data, size);
  if (r.error != VxDropFilesError::kNone) FUZZ_CHECK(r.paths.empty() && r.ansiPaths.empty());
  FUZZ_CHECK(r.wide ? r.ansiPaths.empty() : r.paths.empty());
  CheckPaths(r.paths);
  CheckPaths(r.ansiPaths);
  const std::vector<std::u16string> paths = VxParseDropFiles(data, size);
  FUZZ_CHECK(paths == r.paths);
  uint32_t effect = 0;
  FUZZ_CHECK(VxReadDropEffect(data, size, &effect) == (size >= 4));
  if (paths.empty()) return 0;
  const std::vector<uint8_t> block = VxBuildDropFiles(paths);
  FUZZ_CHECK(VxParseDropFiles(block.data(), block.size()) == paths);
  return 0;
}
