#include "stats.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "md5.h"

using namespace vx::svc;
using Params = std::multimap<std::string, std::string>;

namespace {

Params Signed(const std::string& op, const std::string& ri, const std::string& vs, const std::string& mc,
              const std::string& tm) {
  StatsEvent e{op, ri, vs, mc, tm, ""};
  return {{"op", op}, {"ri", ri}, {"vs", vs}, {"mc", mc}, {"tm", tm}, {"key", Md5Hex(SignatureText(e))}};
}

}  // namespace

TEST(Stats, SignatureTextOfTheExample) {
  // op x, ri y, no machine identifier, vs 1, tm 5.
  EXPECT_EQ(SignatureText({"x", "y", "1", "", "5", ""}), "xAyAA1A5");
  EXPECT_EQ(Md5Hex("xAyAA1A5"), "98d24534080ba4b11f8cc2bfcf58509d");
}

TEST(Stats, AcceptsTheExampleSignedRequest) {
  const Params p = {{"op", "x"}, {"ri", "y"}, {"vs", "1"}, {"mc", ""}, {"tm", "5"},
                    {"key", "98d24534080ba4b11f8cc2bfcf58509d"}};
  StatsEvent e;
  std::string why;
  ASSERT_EQ(CheckStatsRequest(p, &e, &why), StatsVerdict::kValid) << why;
  EXPECT_EQ(e.op, "x");
  EXPECT_EQ(e.mc, "");
}

TEST(Stats, AcceptsAHardwareAddress) {
  EXPECT_EQ(CheckStatsRequest(Signed("start", "desk", "1.0", "00-1A-2B-3C-4D-5E", "1767225600"), nullptr, nullptr),
            StatsVerdict::kValid);
}

TEST(Stats, RejectsAWrongKey) {
  Params p = Signed("x", "y", "1", "", "5");
  p.find("key")->second = Md5Hex("xAyAA1A6");
  EXPECT_EQ(CheckStatsRequest(p, nullptr, nullptr), StatsVerdict::kBadSignature);
  // The fields are signed in the order op, ri, mc, vs, tm, not the order they are sent in.
  p.find("key")->second = Md5Hex("xAyA1AA5");
  EXPECT_EQ(CheckStatsRequest(p, nullptr, nullptr), StatsVerdict::kBadSignature);
  p = Signed("x", "y", "1", "", "5");
  p.find("tm")->second = "6";
  EXPECT_EQ(CheckStatsRequest(p, nullptr, nullptr), StatsVerdict::kBadSignature);
}

TEST(Stats, RejectsMalformedRequests) {
  const Params good = Signed("x", "y", "1", "", "5");
  for (const char* key : {"op", "ri", "vs", "mc", "tm", "key"}) {
    Params p = good;
    p.erase(key);
    EXPECT_EQ(CheckStatsRequest(p, nullptr, nullptr), StatsVerdict::kMalformed) << "without " << key;
  }
  Params extra = good;
  extra.emplace("zz", "1");
  EXPECT_EQ(CheckStatsRequest(extra, nullptr, nullptr), StatsVerdict::kMalformed);
  Params repeated = good;
  repeated.erase("mc");
  repeated.emplace("op", "x");
  EXPECT_EQ(CheckStatsRequest(repeated, nullptr, nullptr), StatsVerdict::kMalformed);
  EXPECT_EQ(CheckStatsRequest(Signed("", "y", "1", "", "5"), nullptr, nullptr), StatsVerdict::kMalformed);
  EXPECT_EQ(CheckStatsRequest(Signed("x", "y", "1", "", "5s"), nullptr, nullptr), StatsVerdict::kMalformed);
  EXPECT_EQ(CheckStatsRequest(Signed("x", "y", "1", "00:1a", "5"), nullptr, nullptr), StatsVerdict::kMalformed);
  EXPECT_EQ(CheckStatsRequest(Signed(std::string(65, 'a'), "y", "1", "", "5"), nullptr, nullptr),
            StatsVerdict::kMalformed);
  EXPECT_EQ(CheckStatsRequest(Signed("x\n", "y", "1", "", "5"), nullptr, nullptr), StatsVerdict::kMalformed);
  Params upper = good;
  std::string& k = upper.find("key")->second;
  for (char& c : k) c = char(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(CheckStatsRequest(upper, nullptr, nullptr), StatsVerdict::kMalformed);
}

TEST(Stats, StoreKeepsEventsAcrossReopen) {
  const std::string path = ::testing::TempDir() + "/stats-store-test.db";
  std::filesystem::remove(path);
  std::string error;
  {
    auto store = StatsStore::Open(path, &error);
    ASSERT_NE(store, nullptr) << error;
    EXPECT_EQ(store->Total(), 0);
    EXPECT_TRUE(store->Add({"start", "desk", "1", "", "5", "k"}, "127.0.0.1", 100));
    EXPECT_TRUE(store->Add({"start", "desk", "1", "", "6", "k"}, "127.0.0.1", 101));
    EXPECT_TRUE(store->Add({"wallpaper", "bizhi", "1", "", "7", "k"}, "127.0.0.1", 102));
  }
  auto store = StatsStore::Open(path, &error);
  ASSERT_NE(store, nullptr) << error;
  EXPECT_EQ(store->Total(), 3);
  const auto counts = store->CountsByOp();
  EXPECT_EQ(counts.at("start"), 2);
  EXPECT_EQ(counts.at("wallpaper"), 1);
}

TEST(Stats, StoreReportsAnUnusablePath) {
  std::string error;
  EXPECT_EQ(StatsStore::Open("/nonexistent-folder/x/stats.db", &error), nullptr);
  EXPECT_FALSE(error.empty());
}
