// The CF_HDROP block a drag brings from another program: any bytes parse without fault, and
// the paths read back rebuild into a block that parses to the same paths.
#include "desk/core/fuzz/fuzz_check.h"
#include "uilib/core/vx_dropfiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::u16string> paths = VxParseDropFiles(data, size);
  for (const std::u16string& p : paths) {
    FUZZ_CHECK(!p.empty());
    FUZZ_CHECK(p.find(u'\0') == std::u16string::npos);
  }
  if (paths.empty()) return 0;
  const std::vector<uint8_t> block = VxBuildDropFiles(paths);
  FUZZ_CHECK(VxParseDropFiles(block.data(), block.size()) == paths);
  return 0;
}
