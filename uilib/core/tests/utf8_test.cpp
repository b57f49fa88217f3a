#include <gtest/gtest.h>

#include "uilib/core/vx_utf8.h"

TEST(Utf8, WideTextJoinsPairsAndReplacesWhatIsNoCharacter) {
  std::wstring text = L"a报";
  VxAppendWide(text, 0x1F600);  // a pair where wchar_t is 16 bits
  EXPECT_EQ(VxWideToUtf8(text), "a\xE6\x8A\xA5\xF0\x9F\x98\x80");
  text.push_back(static_cast<wchar_t>(0xD800));  // a high surrogate with nothing after it
  EXPECT_EQ(VxWideToUtf8(text), "a\xE6\x8A\xA5\xF0\x9F\x98\x80\xEF\xBF\xBD");
  std::string out;
  VxAppendUtf8(out, 0x110000);
  EXPECT_EQ(out, "\xEF\xBF\xBD");
}
