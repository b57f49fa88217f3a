// Any name bytes a cabinet may carry: an accepted name never climbs out, never is rooted,
// never carries a stream or drive, and stays inside a folder by the uninstaller's own test.
#include <string>

#include "desk/core/fuzz/fuzz_check.h"
#include "setup/core/archive_names.h"
#include "setup/core/install_plan.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  std::u16string name;
  if (!DecodeUtf8Name(reinterpret_cast<const char*>(data), size, &name)) return 0;
  std::u16string rel;
  if (CheckArchiveName(name, &rel) != ArchiveNameFault::kNone) {
    FUZZ_CHECK(rel.empty());
    return 0;
  }
  FUZZ_CHECK(!rel.empty() && rel[0] != u'\\' && rel.find(u':') == std::u16string::npos);
  FUZZ_CHECK(rel.find(u'/') == std::u16string::npos);
  FUZZ_CHECK((u"\\" + rel + u"\\").find(u"\\..\\") == std::u16string::npos);
  FUZZ_CHECK(IsInsideFolder(u"C:\\Program Files\\vexlo\\" + rel, u"C:\\Program Files\\vexlo"));
  return 0;
}
