#include "text.h"

#include <gtest/gtest.h>

using namespace vx::svc;

TEST(Text, GbkRoundTrip) {
  const auto gbk = Utf8ToGbk("浙江省宁波市 电信");
  ASSERT_TRUE(gbk.has_value());
  EXPECT_EQ(gbk->substr(0, 4), "\xd5\xe3\xbd\xad");  // 浙江
  EXPECT_EQ(GbkToUtf8(*gbk), "浙江省宁波市 电信");
  EXPECT_EQ(Utf8ToGbk("abc"), "abc");
}

TEST(Text, GbkRejectsWhatItCannotHold) {
  EXPECT_FALSE(Utf8ToGbk("\xf0\x9f\x98\x80").has_value());  // an emoji
  EXPECT_FALSE(Utf8ToGbk("\xff").has_value());
  EXPECT_FALSE(GbkToUtf8("\x81").has_value());  // half a character
}

TEST(Text, Utf8Validation) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("abc 宁波 \xf0\x9f\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("\xc4\xfe\xb2\xa8"));  // 宁波 in GBK
  EXPECT_FALSE(IsValidUtf8("\xc0\xaf"));          // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));      // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xe5\xae"));          // cut short
  EXPECT_FALSE(IsValidUtf8("\xf4\x90\x80\x80"));  // past U+10FFFF
}

TEST(Text, HtmlEscapeLeavesNoMarkup) {
  EXPECT_EQ(HtmlEscape("<script>alert('x')</script>&\""),
            "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;&amp;&quot;");
  EXPECT_EQ(HtmlEscape("宁波 a\tb"), "宁波 a\tb");
  EXPECT_EQ(HtmlEscape("a\nb\rc"), "a b c");
}
