// Writes a few small, well-formed inputs for every fuzz target into <dir>/<target>/, made by
// the same encoders the desk saves with. Usage: fuzz_seeds <dir>
#include <cstdio>
#include <string>
#include <vector>

#include "desk/core/desk_boxes.h"
#include "desk/core/desk_journal.h"
#include "desk/core/desk_records.h"
#include "uilib/core/fuzz/vx_fuzz_seeds.h"
#include "uilib/core/vx_dropfiles.h"

namespace {

std::vector<uint8_t> Units(const std::u16string& text) {
  std::vector<uint8_t> bytes;
  for (char16_t u : text) {
    bytes.push_back(static_cast<uint8_t>(u & 0xFF));
    bytes.push_back(static_cast<uint8_t>(u >> 8));
  }
  return bytes;
}

bool WriteSeeds(const std::string& root) {
  bool ok = true;

  std::vector<uint8_t> config;
  EncodeDeskConfig(DeskConfig(), &config);
  ok &= VxWriteSeed(root + "/fuzz_desk_config", "default", config);
  config.clear();
  DeskConfig used;
  used.organizePending = 0;
  used.smallIcons = 1;
  used.deskItemFile = u"deskiteminfo_20140101";
  EncodeDeskConfig(used, &config);
  ok &= VxWriteSeed(root + "/fuzz_desk_config", "saved", config);

  const std::u16string folder = u"C:\\users\\u\\AppData\\Roaming\\VuZiro\\";
  std::vector<uint8_t> table;
  for (const char16_t* name : {u"文件夹", u"文件", u"a%003Ab", u"%0043ON"}) {
    GeziSaveData box;
    box.left = 1500;
    box.top = 32;
    box.right = 1915;
    box.bottom = 400;
    box.iconView = name[0] == u'文' && name[1] == u'件' && name[2] == 0 ? 0 : 1;
    box.itemFile = folder + name;
    EncodeGeziSaveData(box, &table);
  }
  GeziSaveData noSlash;
  noSlash.itemFile = u"noslash";
  EncodeGeziSaveData(noSlash, &table);
  ok &= VxWriteSeed(root + "/fuzz_gezi_table", "five", table);
  // A trailing partial record: a page left of the primary monitor.
  for (int32_t v : {-1920, 0, 0, 1040})
    for (int i = 0; i < 4; ++i) table.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
  ok &= VxWriteSeed(root + "/fuzz_gezi_table", "five-page", table);

  std::vector<uint8_t> items;
  for (const char16_t* name : {u"C:\\users\\u\\Desktop\\a.txt", u"::{645FF040-5081-101B-9F08-00AA002F954E}",
                               u"C:\\users\\u\\Desktop\\报告.txt"}) {
    DeskItemRecord item;
    item.parseName = name;
    item.x = 10;
    item.y = 96;
    EncodeDeskItemRecord(item, &items);
  }
  ok &= VxWriteSeed(root + "/fuzz_desk_items", "three", items);

  std::vector<uint8_t> journal;
  EncodeDeskJournal({{u"0", u"deskiteminfo_20140101"}, {u"1", u"文件夹"}, {u"2", u"gezhiconf.dat"},
                     {u"3", u"deskconf.dat"}},
                    &journal);
  ok &= VxWriteSeed(root + "/fuzz_desk_journal", "four", journal);

  std::u16string pair = u"文件夹";
  pair.push_back(u'\0');
  pair += u"CON.txt";
  ok &= VxWriteSeed(root + "/fuzz_box_names", "pair", Units(pair));
  ok &= VxWriteSeed(root + "/fuzz_box_names", "escape", Units(u"50%0041 off?"));

  ok &= VxWriteSeed(root + "/fuzz_dropfiles", "two",
              VxBuildDropFiles({u"C:\\users\\u\\Desktop\\a.txt", u"D:\\资料"}));
  // An ANSI block as old programs write it, the list after a longer header.
  std::vector<uint8_t> ansi(24, 0);
  ansi[0] = 24;
  for (char c : std::string("C:\\a.txt")) ansi.push_back(static_cast<uint8_t>(c));
  ansi.insert(ansi.end(), {0, 'b', 0, 0});
  ok &= VxWriteSeed(root + "/fuzz_dropfiles", "ansi", ansi);
  return ok;
}

}  // namespace

int main(int argc, char** argv) { return VxRunSeedWriter(argc, argv, WriteSeeds); }
