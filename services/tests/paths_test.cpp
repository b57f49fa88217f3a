#include "paths.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace vx::svc;
namespace fs = std::filesystem;

TEST(Paths, PlainPathsAreSafe) {
  for (const char* p : {"/pic/webadd/baidu.png", "pic/x.png", "/redian.html", "/wallpaper/37/big/37-01.jpg",
                        "/a..b/c", "/%2e%2e/x", "/名字.png"})
    EXPECT_TRUE(IsSafeRelativePath(p)) << p;
}

TEST(Paths, TraversalAndOddSegmentsAreNot) {
  for (const char* p : {"", "/", "/..", "/../etc/passwd", "/pic/../../etc/passwd", "/pic/..", "../x", "/./x",
                        "/pic//x", "/pic/x/", "/pic\\..\\x", "\\x", "/C:/x", "/pic/\x01x", "/pic/a\x7f"})
    EXPECT_FALSE(IsSafeRelativePath(p)) << p;
  EXPECT_FALSE(IsSafeRelativePath(std::string(2000, 'a')));
  EXPECT_FALSE(IsSafeRelativePath(std::string("/a\0b", 4)));
}

TEST(Paths, ResolveStaysInsideTheRootEvenThroughLinks) {
  const fs::path base = fs::path(::testing::TempDir()) / "paths-test";
  fs::remove_all(base);
  fs::create_directories(base / "root" / "pic");
  fs::create_directories(base / "outside");
  std::ofstream(base / "root" / "pic" / "a.png") << "x";
  std::ofstream(base / "outside" / "secret.txt") << "secret";
  fs::create_directory_symlink(base / "outside", base / "root" / "out");
  const fs::path root = fs::canonical(base / "root");

  auto ok = ResolveInside(root, "/pic/a.png");
  ASSERT_TRUE(ok.has_value());
  EXPECT_EQ(*ok, root / "pic" / "a.png");
  EXPECT_FALSE(ResolveInside(root, "/out/secret.txt").has_value());
  EXPECT_FALSE(ResolveInside(root, "/pic/../../outside/secret.txt").has_value());
  // A name that is merely not there stays inside and is for the caller to report as missing.
  EXPECT_TRUE(ResolveInside(root, "/pic/none.png").has_value());
}
