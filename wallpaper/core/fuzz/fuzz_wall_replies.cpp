// Any reply a wallpaper server sends, any history file on disk: parsing stays inside its
// input, a list adds eight entries or none, every name it lets through is a plain file name,
// and a history file read back writes itself the same way again.
#include <string>
#include <vector>

#include "desk/core/fuzz/fuzz_check.h"
#include "wallpaper/core/wall_catalogue.h"
#include "wallpaper/core/wall_history.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<wall::ListEntry> entries;
  if (wall::ParseList(bytes, &entries) == wall::ListReply::kEight) {
    FUZZ_CHECK(entries.size() == 8);
    for (const auto& e : entries) {
      const std::string leaf = wall::SafeLeafName(e.smallpic);
      FUZZ_CHECK(leaf.find_first_of("\\/:") == std::string::npos && leaf != "..");
    }
  }
  if (auto total = wall::ParseTotal(bytes)) FUZZ_CHECK(*total >= 0 && *total % 8 == 0);
  const std::string leaf = wall::SafeLeafName(bytes);
  FUZZ_CHECK(leaf.find_first_of("\\/:") == std::string::npos && leaf != "." && leaf != "..");
  if (auto history = wall::WallHistory::Parse(bytes)) {
    const std::string again = history->Serialize();
    auto back = wall::WallHistory::Parse(again);
    FUZZ_CHECK(back && back->Serialize() == again);
  }
  wall::WallHistory::Parse("VXWALLHIS 1\n" + bytes);
  return 0;
}
