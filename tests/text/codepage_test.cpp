// The code page is a bijection over the 256 bytes; UTF-8 conversions of our own files.
#include "text/codepage.hpp"

#include <gtest/gtest.h>

#include <set>

namespace tw {
namespace {

TEST(Cp1252, BijectiveOverAllBytes) {
  std::set<char16_t> seen;
  for (int b = 0; b < 256; ++b) {
    const char16_t c = Cp1252ToChar(static_cast<unsigned char>(b));
    EXPECT_TRUE(seen.insert(c).second) << b;
    EXPECT_EQ(Cp1252FromChar(c), b);
  }
  std::string all;
  for (int b = 0; b < 256; ++b)
    all.push_back(static_cast<char>(b));
  EXPECT_EQ(EncodeCp1252(DecodeCp1252(all)), all);
  EXPECT_EQ(EncodeCp1252Ncr(DecodeCp1252(all)), all);
}

TEST(Cp1252, KnownCharacters) {
  const struct {
    unsigned char byte;
    char16_t c;
  } cases[] = {{0x80, u'\u20AC'}, {0x81, u'\u0081'}, {0x8D, u'\u008D'}, {0x8F, u'\u008F'},
               {0x90, u'\u0090'}, {0x9D, u'\u009D'}, {0x92, u'\u2019'}, {0x97, u'\u2014'},
               {0x9F, u'\u0178'}, {0x8C, u'\u0152'}, {0xE9, u'\u00E9'}, {0x41, u'A'}};
  for (const auto& c : cases)
    EXPECT_EQ(Cp1252ToChar(c.byte), c.c) << int(c.byte);
  EXPECT_EQ(Cp1252FromChar(u'\u0080'), -1);  // the C1 control, not €
  EXPECT_EQ(Cp1252FromChar(u'\u0141'), -1);
}

TEST(FileNameBytes, SurviveTheWayThroughText) {
  const struct {
    std::string_view bytes;
    std::u16string_view text;
  } cases[] = {
      // Characters beyond U+FFFF whose low surrogate lies among the escapes U+DC80-U+DCFF.
      {"\xF3\x93\x93\x93", u"\U000D34D3"},
      {"\xF0\x9F\x92\xA9.html", u"\U0001F4A9.html"},
      {"\xF0\x90\x82\x80\x80", u"\U00010080\xDC80"},
      {"\xE9\xF0\x9F\x82\xA1", u"\xDCE9\U0001F0A1"},
      {"\xF0\x9F\x98\x80 caf\xC3\xA9", u"\U0001F600 caf\u00E9"},
      {"a\xFF!", u"a\xDCFF!"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FromUtf8FileName(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(ToUtf8FileName(c.text), c.bytes) << c.bytes;
  }
}

TEST(Cp1252, DecodeAppendKeepsWhatWasThere) {
  // Longer than the decoder's buffer, with every byte in it.
  std::string bytes;
  for (int round = 0; round < 20; ++round) {
    for (int b = 0; b < 256; ++b)
      bytes.push_back(static_cast<char>(b));
  }
  Text out = u"old\u0100";
  DecodeCp1252Append(bytes, out);
  ASSERT_EQ(out.size(), 4 + bytes.size());
  EXPECT_EQ(out.substr(0, 4), u"old\u0100");
  for (size_t i = 0; i < bytes.size(); ++i)
    ASSERT_EQ(out[4 + i], Cp1252ToChar(static_cast<unsigned char>(bytes[i]))) << i;
  DecodeCp1252Append("", out);
  EXPECT_EQ(out.size(), 4 + bytes.size());
}

TEST(Cp1252, UnmappableCharacters) {
  EXPECT_EQ(EncodeCp1252(u"\u0141\u00F3d\u017A"),
            "?\xF3"
            "d?");
  EXPECT_EQ(EncodeCp1252Ncr(u"\u0141\u00F3d\u017A"),
            "&#321;\xF3"
            "d&#378;");
  EXPECT_EQ(EncodeCp1252Ncr(u"\U0001F600"), "&#128512;");
  EXPECT_EQ(EncodeCp1252Ncr(u"\u20AC"), "\x80");
  Text appended = u"x";
  DecodeCp1252Append("\x80y", appended);
  EXPECT_EQ(appended, u"x\u20ACy");
}

TEST(Utf8, RoundTripAndBrokenInput) {
  const Text samples[] = {u"", u"plain", u"\u00E9\u20AC\u0141", u"\U0001F600 x", u"\uFFFF"};
  for (const Text& s : samples)
    EXPECT_EQ(FromUtf8(ToUtf8(s)), s);
  EXPECT_EQ(ToUtf8(u"\u00E9"), "\xC3\xA9");
  EXPECT_EQ(FromUtf8("a\xFF"
                     "b"),
            u"a\uFFFDb");
  EXPECT_EQ(FromUtf8("a\xC3"), u"a\uFFFD");
  EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD");      // overlong
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD");  // surrogate
  const Text lone(1, static_cast<char16_t>(0xD800));
  EXPECT_EQ(ToUtf8(lone), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace tw
