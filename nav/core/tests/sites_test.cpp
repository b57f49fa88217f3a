#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "nav/core/nav_sites.h"
#include "nav/core/nav_text.h"
#include "services/src/sites.h"

namespace {

// What the stand-in services answer to get.php, as WebGet hands it over (UTF-16).
vx::svc::SiteAnswers ServedLists() {
  std::string error;
  auto answers = vx::svc::LoadSiteAnswers(VX_SVC_CONTENT, &error);
  EXPECT_TRUE(answers) << error;
  return answers ? *answers : vx::svc::SiteAnswers{};
}

// The cache a refresh would leave: the records written and read back.
template <typename T, typename Enc, typename Dec>
std::vector<T> Cached(const std::vector<T>& fresh, Enc encode, Dec decode) {
  const std::vector<uint8_t> bytes = encode(fresh);
  return decode(bytes.data(), bytes.size());
}

}  // namespace

TEST(NavSites, ServedListsParseAndAreUnchangedOnceCached) {
  const vx::svc::SiteAnswers served = ServedLists();
  const nlohmann::json webaddJson = nlohmann::json::parse(served.webadd);
  const nlohmann::json tuijianJson = nlohmann::json::parse(served.tuijian);

  const auto webadd = ParseWebAdd(NavUtf8ToUtf16(served.webadd));
  ASSERT_TRUE(webadd);
  ASSERT_EQ(webadd->size(), webaddJson["webadd"].size());
  EXPECT_EQ((*webadd)[0].name, u"百度");
  EXPECT_EQ(NavUtf16ToUtf8((*webadd)[0].pic), webaddJson["webadd"][0]["pic"]);
  EXPECT_EQ(UsableSuggestions(*webadd).size(), webadd->size());  // every served picture is fetchable
  EXPECT_TRUE(SuggestionsChanged({}, *webadd));
  const auto lnk = Cached(UsableSuggestions(*webadd), EncodeSiteRecords, DecodeSiteRecords);
  EXPECT_FALSE(SuggestionsChanged(lnk, *webadd));

  const auto tuijian = ParseTuijian(NavUtf8ToUtf16(served.tuijian));
  ASSERT_TRUE(tuijian && tuijian->top && tuijian->categories);
  ASSERT_EQ(tuijian->categories->size(), tuijianJson["web_tj_type"].size());
  for (size_t i = 0; i < tuijian->categories->size(); ++i) {
    EXPECT_EQ((*tuijian->categories)[i].count, int(tuijianJson["web_tj_type"][i]["data"].size()));
    EXPECT_TRUE(PictureFileName((*tuijian->categories)[i].pic));
  }
  EXPECT_TRUE(WhatChanged({}, {}, *tuijian).top);
  EXPECT_TRUE(WhatChanged({}, {}, *tuijian).categories);
  const auto top = Cached(*tuijian->top, EncodeSiteRecords, DecodeSiteRecords);
  const auto bot = Cached(*tuijian->categories, EncodeTuijianCategories, DecodeTuijianCategories);
  EXPECT_FALSE(WhatChanged(top, bot, *tuijian).Any());
}

TEST(NavSites, TwelveLinksAreComparedOnSeven) {
  std::string links;
  for (int k = 0; k < 12; ++k)
    links += std::string(k ? "," : "") + "{\"name\":\"l" + std::to_string(k) + "\",\"url\":\"u\"}";
  const std::string answer = "{\"web_tj_type\":[{\"type\":\"视频\",\"pic\":\"p/v.png\",\"data\":[" + links + "]}]}";
  const auto first = ParseTuijianUtf8(answer);
  ASSERT_TRUE(first && first->categories && !first->top);
  EXPECT_EQ((*first->categories)[0].count, 12);
  const auto cached = Cached(*first->categories, EncodeTuijianCategories, DecodeTuijianCategories);
  std::string eighthRenamed = answer;
  eighthRenamed.replace(eighthRenamed.find("\"l7\""), 4, "\"L7\"");
  EXPECT_FALSE(WhatChanged({}, cached, *ParseTuijianUtf8(eighthRenamed)).Any());
  std::string seventhRenamed = answer;
  seventhRenamed.replace(seventhRenamed.find("\"l6\""), 4, "\"L6\"");
  EXPECT_TRUE(WhatChanged({}, cached, *ParseTuijianUtf8(seventhRenamed)).categories);
}

TEST(NavSites, AnswersWithoutTheirListAreRefused) {
  for (const char* bad : {"", "not json", "[]", "{}", "{\"webadd\":{}}", "{\"webadd\":[1,2]"})
    EXPECT_FALSE(ParseWebAddUtf8(bad)) << bad;
  EXPECT_FALSE(ParseTuijianUtf8("{\"web_tj_top\":7}"));
  // Odd members read as empty text; the texts are cut to their field.
  const auto odd = ParseWebAddUtf8("{\"webadd\":[3,{\"name\":5,\"url\":\"" + std::string(300, 'u') +
                                   "\",\"pic\":\"a/b.png\"}]}");
  ASSERT_TRUE(odd);
  ASSERT_EQ(odd->size(), 2u);
  EXPECT_EQ((*odd)[1].name, u"");
  EXPECT_EQ((*odd)[1].url.size(), 259u);
  EXPECT_EQ(UsableSuggestions(*odd).size(), 1u);
}

TEST(NavSites, PictureNamesThatLeaveTheFolderAreRefused) {
  EXPECT_EQ(PictureFileName(u"pic/webadd/baidu.png"), u"baidu.png");
  EXPECT_EQ(PictureFileName(u"/x/中文 名.jpg"), u"中文 名.jpg");
  EXPECT_EQ(PictureFileName(u"a/nul-free.png"), u"nul-free.png");
  EXPECT_EQ(PictureFileName(u"a/COM10.png"), u"COM10.png");
  for (const char16_t* pic :
       {u"nofolder.png", u"a/", u"a/..", u"a/.", u"a/..\\..\\evil.exe", u"a/C:evil.png",
        u"a/C:\\Windows\\evil.png", u"a/\\\\server\\share\\x.png", u"a/\\\\?\\C:\\x.png",
        u"a/pic.png:stream", u"a/CON", u"a/nul.png", u"a/Com1.jpg", u"a/lpt9", u"a/aux .txt",
        u"a/CONOUT$", u"a/COM\u00B9.png", u"a/x.png.", u"a/x.png ", u"a/a*b.png", u"a/tab\t.png"}) {
    EXPECT_FALSE(PictureFileName(pic)) << NavUtf16ToUtf8(pic);
  }
  EXPECT_FALSE(IsSafeLeafName(std::u16string(256, u'a')));
}

TEST(NavSites, HostilePictureNamesFromTheServicesAreSkippedAndTheRestLoad) {
  const vx::svc::SiteAnswers served = ServedLists();
  const auto hostile = ParseWebAdd(NavUtf8ToUtf16(vx::svc::WithHostilePictures(served.webadd)));
  const auto plain = ParseWebAdd(NavUtf8ToUtf16(served.webadd));
  ASSERT_TRUE(hostile && plain);
  EXPECT_EQ(hostile->size(), plain->size() + vx::svc::HostilePictureNames().size());
  EXPECT_TRUE(SameSites(UsableSuggestions(*hostile), *plain));
  const auto top = ParseTuijian(NavUtf8ToUtf16(vx::svc::WithHostilePictures(served.tuijian)));
  ASSERT_TRUE(top && top->top && top->categories);
  for (size_t i = 0; i < vx::svc::HostilePictureNames().size(); ++i) {
    EXPECT_FALSE(PictureFileName((*top->top)[i].pic)) << NavUtf16ToUtf8((*top->top)[i].pic);
    EXPECT_FALSE(PictureFileName((*top->categories)[i].pic));
  }
}
