// The size line's units and rounding.
#include <gtest/gtest.h>

#include <string>

#include "png/size_text.h"

namespace {

std::string Format(int64_t size) {
  char text[64];
  FormatByteSize(text, sizeof text, size);
  return text;
}

TEST(FormatByteSize, TakesAUnitOnlyFromThreeOfItUpwards) {
  EXPECT_EQ(Format(0), "0 Bytes");
  EXPECT_EQ(Format(2997), "2997 Bytes");
  EXPECT_EQ(Format(2999), "2999 Bytes");
  EXPECT_EQ(Format(3000), "3 KBytes");
  EXPECT_EQ(Format(3001), "3.001 KBytes");
  EXPECT_EQ(Format(40000), "40 KBytes");
  EXPECT_EQ(Format(150000), "150 KBytes");
  EXPECT_EQ(Format(1000000), "1000 KBytes");
  EXPECT_EQ(Format(2999999), "2999.999 KBytes");
  EXPECT_EQ(Format(3000000), "3 MBytes");
  EXPECT_EQ(Format(3500000), "3.500 MBytes");
}

TEST(FormatByteSize, SizesBeyondThirtyTwoBitsStayCorrect) {
  EXPECT_EQ(Format(2147483648LL), "2147.484 MBytes");
  EXPECT_EQ(Format(5000000000LL), "5000 MBytes");
}

TEST(FileSizeLine, OriginalFirstAfterLineFeedCarriageReturnAndThreeBlanks) {
  EXPECT_EQ(FileSizeLine(40000, 2997), "\n\r   File Size (Original/Compressed): 40 KBytes / 2997 Bytes");
  EXPECT_EQ(FileSizeLine(1000000, 0), "\n\r   File Size (Original/Compressed): 1000 KBytes / 0 Bytes");
}

}  // namespace
