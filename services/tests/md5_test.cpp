#include "md5.h"

#include <gtest/gtest.h>

#include <string>

using vx::svc::Md5Hex;

TEST(Md5, Rfc1321TestSuite) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(Md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
  EXPECT_EQ(Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "d174ab98d277d9f5a5611c2c9f419d9f");
  EXPECT_EQ(Md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
            "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5, PaddingBoundaries) {
  // 55 bytes fit the length in the same block, 56 need a second one, 64 is a whole block.
  EXPECT_EQ(Md5Hex(std::string(55, 'a')), "ef1772b6dff9a122358552954ad0df65");
  EXPECT_EQ(Md5Hex(std::string(56, 'a')), "3b0c8ac703f828b04c6c197006d17218");
  EXPECT_EQ(Md5Hex(std::string(64, 'a')), "014842d480b571495a4a0363793f7367");
}

TEST(Md5, BytesAboveAscii) {
  // The statistics signature is taken over code-page-936 bytes; high bytes must not sign-extend.
  EXPECT_EQ(Md5Hex(std::string("\xc4\xfe\xb2\xa8", 4)), Md5Hex(std::string("\xc4\xfe\xb2\xa8", 4)));
  EXPECT_NE(Md5Hex(std::string("\xc4\xfe", 2)), Md5Hex(std::string("\x44\x7e", 2)));
  EXPECT_EQ(Md5Hex("\xff"), "00594fd4f42ba43fc1ca0427a0576295");
}
