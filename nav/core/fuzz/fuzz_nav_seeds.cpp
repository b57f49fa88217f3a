// Writes a few small, well-formed inputs for the navigation fuzz targets into
// <dir>/<target>/, made by the same encoders the pages save with. Usage: fuzz_nav_seeds <dir>
#include <string>
#include <vector>

#include "nav/core/nav_records.h"
#include "uilib/core/fuzz/vx_fuzz_seeds.h"

namespace {

std::vector<uint8_t> Text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

bool WriteSeeds(const std::string& root) {
  const std::string records = root + "/fuzz_nav_records";
  MyDefSlots slots;
  for (size_t i = 0; i < slots.size(); ++i) {
    slots[i].position = static_cast<int32_t>(11 - i);
    if (i % 2) continue;
    slots[i] = MyDefSlot{u"百度", u"http://www.baidu.com/", u"C:\\d\\1.jpg", slots[i].position,
                         kSlotFilled};
  }
  const std::vector<SiteRecord> sites = {{u"京东", u"https://www.jd.com/", u"C:\\a\\jd.png", u"pic/jd.png"},
                                         {u"x", u"", u"", u"nofolder"}};
  TuijianCategory video{u"视频", u"C:\\b\\v.png", u"pic/v.png", 12, {}};
  for (int k = 0; k < 7; ++k) video.links.push_back({u"链接", u"http://v.cn/"});
  const std::string sitesDir = root + "/fuzz_nav_sites";
  return VxWriteSeed(records, "mydef", EncodeMyDef(slots)) &&
         VxWriteSeed(records, "lnk", EncodeSiteRecords(sites)) &&
         VxWriteSeed(records, "bot", EncodeTuijianCategories({video, TuijianCategory{}})) &&
         VxWriteSeed(sitesDir, "webadd",
                     Text(R"({"webadd":[{"name":"百度","url":"https://www.baidu.com/","pic":"pic/webadd/baidu.png"},)"
                          R"({"name":"x","url":"u","pic":"a/..\\evil"}]})")) &&
         VxWriteSeed(sitesDir, "tuijian",
                     Text(R"({"web_tj_top":[{"name":"淘宝","url":"https://www.taobao.com/","pic":"pic/top/taobao.png"}],)"
                          R"("web_tj_type":[{"type":"视频","pic":"pic/type/video.png","data":[{"name":"优酷","url":"https://youku.com/"},)"
                          R"({"name":"爱奇艺","url":"https://iqiyi.com/"}]}]})"));
}

}  // namespace

int main(int argc, char** argv) { return VxRunSeedWriter(argc, argv, WriteSeeds); }
