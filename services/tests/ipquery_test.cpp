#include "ipquery.h"

#include <gtest/gtest.h>

#include "test_cities.h"
#include "text.h"

using namespace vx::svc;

using test::Cities;

TEST(IpQuery, AnswersByAddressWithADefault) {
  std::string error;
  auto t = IpLocationTable::Parse("# comment\ndefault\t浙江省宁波市 电信\n127.0.0.2\t北京市 联通\r\n", Cities(), &error);
  ASSERT_TRUE(t.has_value()) << error;
  EXPECT_EQ(t->TextFor("127.0.0.2"), "北京市 联通");
  EXPECT_EQ(t->TextFor("127.0.0.9"), "浙江省宁波市 电信");
  EXPECT_EQ(GbkToUtf8(t->GbkFor("127.0.0.2")), "北京市 联通");
  const City* m = Cities().MatchLocation(t->TextFor("127.0.0.9"));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->title, "宁波");
}

TEST(IpQuery, RefusesTablesTheDesktopCouldNotUse) {
  std::string error;
  EXPECT_FALSE(IpLocationTable::Parse("127.0.0.1\t浙江省宁波市\n", Cities(), &error).has_value());
  EXPECT_NE(error.find("default"), std::string::npos);
  EXPECT_FALSE(IpLocationTable::Parse("default\t火星 电信\n", Cities(), &error).has_value());
  EXPECT_NE(error.find("names no city"), std::string::npos);
  EXPECT_FALSE(IpLocationTable::Parse("default 浙江省宁波市\n", Cities(), &error).has_value());
  EXPECT_FALSE(IpLocationTable::Parse("default\t\n", Cities(), &error).has_value());
}

TEST(IpQuery, TheShippedTableLoads) {
  std::string error;
  auto t = IpLocationTable::Load(std::string(VX_SVC_CONTENT) + "/ipquery.tsv", Cities(), &error);
  ASSERT_TRUE(t.has_value()) << error;
  EXPECT_NE(Cities().MatchLocation(t->TextFor("203.0.113.1")), nullptr);
}
