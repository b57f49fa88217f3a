#include <gtest/gtest.h>

#include "uilib/core/vx_html_rules.h"

TEST(AppCommand, UpperCaseSchemeGivesTheRestOfTheUrl) {
  std::u16string cmd;
  ASSERT_TRUE(VxAppCommand(u"APP:close", &cmd));
  EXPECT_EQ(cmd, u"close");
  ASSERT_TRUE(VxAppCommand(u"aPp:open?id=3&x=%20", &cmd));
  EXPECT_EQ(cmd, u"open?id=3&x=%20");
}

TEST(AppCommand, BareSchemeIsAnEmptyCommand) {
  std::u16string cmd = u"stale";
  ASSERT_TRUE(VxAppCommand(u"app:", &cmd));
  EXPECT_EQ(cmd, u"");
  EXPECT_TRUE(VxAppCommand(u"app:x", nullptr));
}

TEST(AppCommand, OtherUrlsAreLeftAloneAndTheCommandUntouched) {
  std::u16string cmd = u"keep";
  for (const char16_t* url : {u"", u"app", u"ap:close", u"http://app:close", u" app:close",
                              u"apps:close", u"application:close", u"about:blank"}) {
    EXPECT_FALSE(VxAppCommand(url, &cmd)) << std::string(url, url + std::char_traits<char16_t>::length(url));
  }
  EXPECT_EQ(cmd, u"keep");
}

TEST(PostData, GivenLengthWins) {
  const char16_t text[] = u"a=1&b=2";
  EXPECT_EQ(VxPostDataBytes(text, 3), 3u);
  EXPECT_EQ(VxPostDataBytes(text, 100), 100u);
}

TEST(PostData, ZeroLengthTakesTheWholeWideTextInBytes) {
  EXPECT_EQ(VxPostDataBytes(u"a=1&b=2", 0), 14u);
  EXPECT_EQ(VxPostDataBytes(u"城市=北京", 0), 10u);
  EXPECT_EQ(VxPostDataBytes(u"", 0), 0u);
  EXPECT_EQ(VxPostDataBytes(nullptr, 0), 0u);
  EXPECT_EQ(VxPostDataBytes(nullptr, 8), 0u);
}

TEST(NavTracker, FramesFinishingBeforeTheTopFrameDoNotCount) {
  VxNavTracker t;
  const uintptr_t top = 0x1000, left = 0x2000, right = 0x3000;
  EXPECT_TRUE(t.NavigateComplete(top));
  EXPECT_FALSE(t.NavigateComplete(left));
  EXPECT_FALSE(t.NavigateComplete(right));
  EXPECT_EQ(t.TopFrame(), top);
  EXPECT_FALSE(t.DocumentComplete(left));
  EXPECT_FALSE(t.DocumentComplete(right));
  EXPECT_FALSE(t.Complete());
  EXPECT_TRUE(t.DocumentComplete(top));
  EXPECT_TRUE(t.Complete());
  EXPECT_EQ(t.TopFrame(), 0u);
  // A late repeat of the same frame is not a second completion.
  EXPECT_FALSE(t.DocumentComplete(top));
}

TEST(NavTracker, DocumentCompleteWithoutNavigationIsIgnored) {
  VxNavTracker t;
  EXPECT_FALSE(t.DocumentComplete(0x1000));
  EXPECT_FALSE(t.DocumentComplete(0));
  EXPECT_FALSE(t.NavigateComplete(0));
  EXPECT_FALSE(t.Complete());
}

TEST(NavTracker, NextLoadRecordsANewTopFrame) {
  VxNavTracker t;
  t.NavigateComplete(0x1000);
  ASSERT_TRUE(t.DocumentComplete(0x1000));
  EXPECT_TRUE(t.NavigateComplete(0x5000));
  EXPECT_FALSE(t.DocumentComplete(0x1000));
  EXPECT_TRUE(t.DocumentComplete(0x5000));
}

TEST(NavTracker, ErrorFlagLastsUntilClearedErrorSeenUntilReset) {
  VxNavTracker t;
  t.NavigateComplete(0x1000);
  t.NavigateError();
  EXPECT_TRUE(t.ErrorFlag());
  EXPECT_TRUE(t.ErrorSeen());
  ASSERT_TRUE(t.DocumentComplete(0x1000));
  EXPECT_TRUE(t.ErrorFlag());  // still there for the callback
  t.ClearErrorFlag();
  EXPECT_FALSE(t.ErrorFlag());
  EXPECT_TRUE(t.ErrorSeen());
  t.Reset();
  EXPECT_FALSE(t.ErrorSeen());
  EXPECT_FALSE(t.Complete());
  EXPECT_EQ(t.TopFrame(), 0u);
}
