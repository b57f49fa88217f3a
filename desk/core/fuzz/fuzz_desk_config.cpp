// deskconf.dat as read from disk: any bytes decode without fault, and a config that fits its
// field encodes back to a record that decodes to the same config.
#include <cstring>

#include "desk/core/desk_records.h"
#include "desk/core/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DeskConfig config;
  config.deskItemFile = u"untouched";
  const bool ok = DecodeDeskConfig(data, size, &config);
  FUZZ_CHECK(ok == (size >= kDeskConfigSize));
  if (!ok) {
    FUZZ_CHECK(config.deskItemFile == u"untouched");
    return 0;
  }
  FUZZ_CHECK(config.deskItemFile.size() <= kDeskTextUnits);
  std::vector<uint8_t> bytes;
  if (!EncodeDeskConfig(config, &bytes)) {
    // Only a field without a terminator is too long to write back.
    FUZZ_CHECK(config.deskItemFile.size() == kDeskTextUnits);
    FUZZ_CHECK(bytes.empty());
    return 0;
  }
  FUZZ_CHECK(bytes.size() == kDeskConfigSize);
  FUZZ_CHECK(std::memcmp(bytes.data(), data, 5) == 0);
  DeskConfig again;
  FUZZ_CHECK(DecodeDeskConfig(bytes.data(), bytes.size(), &again));
  FUZZ_CHECK(again.deskPageOn == config.deskPageOn && again.dblClickHide == config.dblClickHide &&
             again.smallIcons == config.smallIcons && again.autoArrange == config.autoArrange &&
             again.organizePending == config.organizePending &&
             again.deskItemFile == config.deskItemFile);
  return 0;
}
