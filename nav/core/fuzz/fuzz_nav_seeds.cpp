// Writes a few small, well-formed inputs for the navigation fuzz targets into
// <dir>/<target>/, made by the same encoders the pages save with. Usage: fuzz_nav_seeds <dir>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "nav/core/nav_records.h"

namespace {

bool Write(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  mkdir(dir.c_str(), 0755);
  FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::vector<uint8_t> Text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <dir>\n", argv[0]);
    return 2;
  }
  const std::string root = argv[1];
  mkdir(root.c_str(), 0755);
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
  const bool ok =
      Write(records, "mydef", EncodeMyDef(slots)) &&
      Write(records, "lnk", EncodeSiteRecords(sites)) &&
      Write(records, "bot", EncodeTuijianCategories({video, TuijianCategory{}})) &&
      Write(sitesDir, "webadd",
            Text(R"({"webadd":[{"name":"百度","url":"https://www.baidu.com/","pic":"pic/webadd/baidu.png"},)"
                 R"({"name":"x","url":"u","pic":"a/..\\evil"}]})")) &&
      Write(sitesDir, "tuijian",
            Text(R"({"web_tj_top":[{"name":"淘宝","url":"https://www.taobao.com/","pic":"pic/top/taobao.png"}],)"
                 R"("web_tj_type":[{"type":"视频","pic":"pic/type/video.png","data":[{"name":"优酷","url":"https://youku.com/"},)"
                 R"({"name":"爱奇艺","url":"https://iqiyi.com/"}]}]})"));
  if (!ok) {
    std::fprintf(stderr, "cannot write the seeds under %s\n", root.c_str());
    return 1;
  }
  return 0;
}
