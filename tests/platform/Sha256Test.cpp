// SHA-256 by the system (nettle natively, BCrypt on Windows): known digests
// of bytes, and of a file longer than one read.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Sha256.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

namespace platform {
namespace {

TEST(Sha256, KnownDigestsOfBytesAndFiles) {
  EXPECT_EQ(Sha256OfBytes(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256OfBytes("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  testing_support::TempDir dir;
  // Longer than one read, so that the pieces are joined right.
  const std::string million(1000000, 'a');
  testing_support::writeFile(dir.file("a.bin"), std::vector<std::uint8_t>(million.begin(), million.end()));
  std::string problem;
  const auto digest = Sha256OfFile(dir.file("a.bin"), problem);
  ASSERT_TRUE(digest) << problem;
  EXPECT_EQ(digest->size, 1000000u);
  EXPECT_EQ(digest->sha256, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  EXPECT_FALSE(Sha256OfFile(dir.file("none"), problem));
  EXPECT_NE(problem.find("none"), std::string::npos);
}

}  // namespace
}  // namespace platform
