// Path text between the command line (UTF-8) and the host's records (UTF-16).
#include "testhost/utf16_text.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf16Text, RoundTripsEveryPlane) {
  const std::string text = u8"a/Пользователь/画像/\U0001F600.png";
  const std::u16string wide = Utf16FromUtf8(text);
  EXPECT_EQ(wide, u"a/Пользователь/画像/\U0001F600.png");
  EXPECT_EQ(wide.size(), 2 + 13 + 3 + 2 + 4);  // the emoji takes a surrogate pair
  EXPECT_EQ(Utf8FromUtf16(wide), text);
  const uint16_t zeroTerminated[] = {0x41, 0x0436, 0xD83D, 0xDE00, 0, 0x42};
  EXPECT_EQ(Utf8FromUtf16(zeroTerminated), u8"Aж\U0001F600");
  EXPECT_EQ(Utf8FromUtf16(static_cast<const uint16_t*>(nullptr)), "");
}

TEST(Utf16Text, BrokenSequencesBecomeReplacementCharacters) {
  EXPECT_EQ(Utf16FromUtf8("a\xC3"), u"a\uFFFD");          // cut short
  EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong
  EXPECT_EQ(Utf16FromUtf8("\xED\xA0\x80"), u"\uFFFD");    // a surrogate written as UTF-8
  EXPECT_EQ(Utf8FromUtf16(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

}  // namespace
