// Fixed character tables, the general and the table-driven lowering, the word letter class
// and the character-set searches.
#include "text/chars.hpp"

#include <array>

#include "text/codepage.hpp"

namespace tw {

namespace {

constexpr char16_t kUpperCaseLetters[] =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    u"\u0160\u0152\u0178"
    u"\u00C0\u00C1\u00C2\u00C3\u00C4\u00C5\u00C6\u00C7\u00C8\u00C9\u00CA\u00CB"
    u"\u00CC\u00CD\u00CE\u00CF\u00D0\u00D1\u00D2\u00D3\u00D4\u00D5\u00D6"
    u"\u00D8\u00D9\u00DA\u00DB\u00DC\u00DD\u00DE";

constexpr char16_t kLowerCaseLetters[] =
    u"abcdefghijklmnopqrstuvwxyz"
    u"\u0161\u0153\u00FF"
    u"\u00E0\u00E1\u00E2\u00E3\u00E4\u00E5\u00E6\u00E7\u00E8\u00E9\u00EA\u00EB"
    u"\u00EC\u00ED\u00EE\u00EF\u00F0\u00F1\u00F2\u00F3\u00F4\u00F5\u00F6"
    u"\u00F8\u00F9\u00FA\u00FB\u00FC\u00FD\u00FE"
    u"\u00DF";

constexpr char16_t kAccentedLetters[] =
    u"\u0160\u0178"
    u"\u00C0\u00C1\u00C2\u00C3\u00C4\u00C5"
    u"\u00C7\u00C8\u00C9\u00CA\u00CB\u00CC\u00CD\u00CE\u00CF\u00D0\u00D1\u00D2\u00D3\u00D4"
    u"\u00D5\u00D6"
    u"\u00D8\u00D9\u00DA\u00DB\u00DC\u00DD"
    u"\u0161\u00FF"
    u"\u00E0\u00E1\u00E2\u00E3\u00E4\u00E5"
    u"\u00E7\u00E8\u00E9\u00EA\u00EB\u00EC\u00ED\u00EE\u00EF"
    u"\u00F1\u00F2\u00F3\u00F4\u00F5\u00F6"
    u"\u00F8\u00F9\u00FA\u00FB\u00FC\u00FD";

constexpr char16_t kVowels[] =
    u"AEIOUaeiou"
    u"\u00C0\u00C1\u00C2\u00C3\u00C4\u00C5\u00C6"
    u"\u00C8\u00C9\u00CA\u00CB\u00CC\u00CD\u00CE\u00CF"
    u"\u00D2\u00D3\u00D4\u00D5\u00D6"
    u"\u00D8\u00D9\u00DA\u00DB\u00DC"
    u"\u00E0\u00E1\u00E2\u00E3\u00E4\u00E5\u00E6"
    u"\u00E8\u00E9\u00EA\u00EB\u00EC\u00ED\u00EE\u00EF"
    u"\u00F2\u00F3\u00F4\u00F5\u00F6"
    u"\u00F8\u00F9\u00FA\u00FB\u00FC";

constexpr TextView kVowelsAndY =
    u"AEIOUaeiou"
    u"\u00C0\u00C1\u00C2\u00C3\u00C4\u00C5\u00C6"
    u"\u00C8\u00C9\u00CA\u00CB\u00CC\u00CD\u00CE\u00CF"
    u"\u00D2\u00D3\u00D4\u00D5\u00D6"
    u"\u00D8\u00D9\u00DA\u00DB\u00DC"
    u"\u00E0\u00E1\u00E2\u00E3\u00E4\u00E5\u00E6"
    u"\u00E8\u00E9\u00EA\u00EB\u00EC\u00ED\u00EE\u00EF"
    u"\u00F2\u00F3\u00F4\u00F5\u00F6"
    u"\u00F8\u00F9\u00FA\u00FB\u00FC"
    u"Yy";

constexpr size_t kCharCount = 0x10000;

// Simple lower-case mappings of the Basic Multilingual Plane: every character from `first`
// to `last` (every one, or every second one) is lowered by adding `delta` modulo 2^16.
struct LowerRange {
  char16_t first;
  char16_t last;
  int32_t delta;
  int32_t step;
};

constexpr LowerRange kLowerRanges[] = {
    {0x0041, 0x005A, 32, 1},     {0x00C0, 0x00D6, 32, 1},     {0x00D8, 0x00DE, 32, 1},
    {0x0100, 0x012E, 1, 2},      {0x0130, 0x0130, -199, 1},   {0x0132, 0x0136, 1, 2},
    {0x0139, 0x0147, 1, 2},      {0x014A, 0x0176, 1, 2},      {0x0178, 0x0178, -121, 1},
    {0x0179, 0x017D, 1, 2},      {0x0181, 0x0181, 210, 1},    {0x0182, 0x0184, 1, 2},
    {0x0186, 0x0186, 206, 1},    {0x0187, 0x0187, 1, 1},      {0x0189, 0x018A, 205, 1},
    {0x018B, 0x018B, 1, 1},      {0x018E, 0x018E, 79, 1},     {0x018F, 0x018F, 202, 1},
    {0x0190, 0x0190, 203, 1},    {0x0191, 0x0191, 1, 1},      {0x0193, 0x0193, 205, 1},
    {0x0194, 0x0194, 207, 1},    {0x0196, 0x0196, 211, 1},    {0x0197, 0x0197, 209, 1},
    {0x0198, 0x0198, 1, 1},      {0x019C, 0x019C, 211, 1},    {0x019D, 0x019D, 213, 1},
    {0x019F, 0x019F, 214, 1},    {0x01A0, 0x01A4, 1, 2},      {0x01A6, 0x01A6, 218, 1},
    {0x01A7, 0x01A7, 1, 1},      {0x01A9, 0x01A9, 218, 1},    {0x01AC, 0x01AC, 1, 1},
    {0x01AE, 0x01AE, 218, 1},    {0x01AF, 0x01AF, 1, 1},      {0x01B1, 0x01B2, 217, 1},
    {0x01B3, 0x01B5, 1, 2},      {0x01B7, 0x01B7, 219, 1},    {0x01B8, 0x01B8, 1, 1},
    {0x01BC, 0x01BC, 1, 1},      {0x01C4, 0x01C4, 2, 1},      {0x01C5, 0x01C5, 1, 1},
    {0x01C7, 0x01C7, 2, 1},      {0x01C8, 0x01C8, 1, 1},      {0x01CA, 0x01CA, 2, 1},
    {0x01CB, 0x01DB, 1, 2},      {0x01DE, 0x01EE, 1, 2},      {0x01F1, 0x01F1, 2, 1},
    {0x01F2, 0x01F4, 1, 2},      {0x01F6, 0x01F6, -97, 1},    {0x01F7, 0x01F7, -56, 1},
    {0x01F8, 0x021E, 1, 2},      {0x0220, 0x0220, -130, 1},   {0x0222, 0x0232, 1, 2},
    {0x023A, 0x023A, 10795, 1},  {0x023B, 0x023B, 1, 1},      {0x023D, 0x023D, -163, 1},
    {0x023E, 0x023E, 10792, 1},  {0x0241, 0x0241, 1, 1},      {0x0243, 0x0243, -195, 1},
    {0x0244, 0x0244, 69, 1},     {0x0245, 0x0245, 71, 1},     {0x0246, 0x024E, 1, 2},
    {0x0370, 0x0372, 1, 2},      {0x0376, 0x0376, 1, 1},      {0x037F, 0x037F, 116, 1},
    {0x0386, 0x0386, 38, 1},     {0x0388, 0x038A, 37, 1},     {0x038C, 0x038C, 64, 1},
    {0x038E, 0x038F, 63, 1},     {0x0391, 0x03A1, 32, 1},     {0x03A3, 0x03AB, 32, 1},
    {0x03CF, 0x03CF, 8, 1},      {0x03D8, 0x03EE, 1, 2},      {0x03F4, 0x03F4, -60, 1},
    {0x03F7, 0x03F7, 1, 1},      {0x03F9, 0x03F9, -7, 1},     {0x03FA, 0x03FA, 1, 1},
    {0x03FD, 0x03FF, -130, 1},   {0x0400, 0x040F, 80, 1},     {0x0410, 0x042F, 32, 1},
    {0x0460, 0x0480, 1, 2},      {0x048A, 0x04BE, 1, 2},      {0x04C0, 0x04C0, 15, 1},
    {0x04C1, 0x04CD, 1, 2},      {0x04D0, 0x052E, 1, 2},      {0x0531, 0x0556, 48, 1},
    {0x10A0, 0x10C5, 7264, 1},   {0x10C7, 0x10C7, 7264, 1},   {0x10CD, 0x10CD, 7264, 1},
    {0x13A0, 0x13EF, 38864, 1},  {0x13F0, 0x13F5, 8, 1},      {0x1C90, 0x1CBA, -3008, 1},
    {0x1CBD, 0x1CBF, -3008, 1},  {0x1E00, 0x1E94, 1, 2},      {0x1E9E, 0x1E9E, -7615, 1},
    {0x1EA0, 0x1EFE, 1, 2},      {0x1F08, 0x1F0F, -8, 1},     {0x1F18, 0x1F1D, -8, 1},
    {0x1F28, 0x1F2F, -8, 1},     {0x1F38, 0x1F3F, -8, 1},     {0x1F48, 0x1F4D, -8, 1},
    {0x1F59, 0x1F5F, -8, 2},     {0x1F68, 0x1F6F, -8, 1},     {0x1F88, 0x1F8F, -8, 1},
    {0x1F98, 0x1F9F, -8, 1},     {0x1FA8, 0x1FAF, -8, 1},     {0x1FB8, 0x1FB9, -8, 1},
    {0x1FBA, 0x1FBB, -74, 1},    {0x1FBC, 0x1FBC, -9, 1},     {0x1FC8, 0x1FCB, -86, 1},
    {0x1FCC, 0x1FCC, -9, 1},     {0x1FD8, 0x1FD9, -8, 1},     {0x1FDA, 0x1FDB, -100, 1},
    {0x1FE8, 0x1FE9, -8, 1},     {0x1FEA, 0x1FEB, -112, 1},   {0x1FEC, 0x1FEC, -7, 1},
    {0x1FF8, 0x1FF9, -128, 1},   {0x1FFA, 0x1FFB, -126, 1},   {0x1FFC, 0x1FFC, -9, 1},
    {0x2126, 0x2126, -7517, 1},  {0x212A, 0x212A, -8383, 1},  {0x212B, 0x212B, -8262, 1},
    {0x2132, 0x2132, 28, 1},     {0x2160, 0x216F, 16, 1},     {0x2183, 0x2183, 1, 1},
    {0x24B6, 0x24CF, 26, 1},     {0x2C00, 0x2C2F, 48, 1},     {0x2C60, 0x2C60, 1, 1},
    {0x2C62, 0x2C62, -10743, 1}, {0x2C63, 0x2C63, -3814, 1},  {0x2C64, 0x2C64, -10727, 1},
    {0x2C67, 0x2C6B, 1, 2},      {0x2C6D, 0x2C6D, -10780, 1}, {0x2C6E, 0x2C6E, -10749, 1},
    {0x2C6F, 0x2C6F, -10783, 1}, {0x2C70, 0x2C70, -10782, 1}, {0x2C72, 0x2C72, 1, 1},
    {0x2C75, 0x2C75, 1, 1},      {0x2C7E, 0x2C7F, -10815, 1}, {0x2C80, 0x2CE2, 1, 2},
    {0x2CEB, 0x2CED, 1, 2},      {0x2CF2, 0x2CF2, 1, 1},      {0xA640, 0xA66C, 1, 2},
    {0xA680, 0xA69A, 1, 2},      {0xA722, 0xA72E, 1, 2},      {0xA732, 0xA76E, 1, 2},
    {0xA779, 0xA77B, 1, 2},      {0xA77D, 0xA77D, 30204, 1},  {0xA77E, 0xA786, 1, 2},
    {0xA78B, 0xA78B, 1, 1},      {0xA78D, 0xA78D, 23256, 1},  {0xA790, 0xA792, 1, 2},
    {0xA796, 0xA7A8, 1, 2},      {0xA7AA, 0xA7AA, 23228, 1},  {0xA7AB, 0xA7AB, 23217, 1},
    {0xA7AC, 0xA7AC, 23221, 1},  {0xA7AD, 0xA7AD, 23231, 1},  {0xA7AE, 0xA7AE, 23228, 1},
    {0xA7B0, 0xA7B0, 23278, 1},  {0xA7B1, 0xA7B1, 23254, 1},  {0xA7B2, 0xA7B2, 23275, 1},
    {0xA7B3, 0xA7B3, 928, 1},    {0xA7B4, 0xA7C2, 1, 2},      {0xA7C4, 0xA7C4, -48, 1},
    {0xA7C5, 0xA7C5, 23229, 1},  {0xA7C6, 0xA7C6, 30152, 1},  {0xA7C7, 0xA7C9, 1, 2},
    {0xA7D0, 0xA7D0, 1, 1},      {0xA7D6, 0xA7D8, 1, 2},      {0xA7F5, 0xA7F5, 1, 1},
    {0xFF21, 0xFF3A, 32, 1},
};

constexpr std::array<char16_t, kCharCount> MakeGeneralLowerTable() {
  std::array<char16_t, kCharCount> table{};
  for (size_t c = 0; c < kCharCount; ++c)
    table[c] = static_cast<char16_t>(c);
  for (const LowerRange& r : kLowerRanges) {
    for (int32_t c = r.first; c <= r.last; c += r.step) {
      table[static_cast<size_t>(c)] = static_cast<char16_t>((c + r.delta) & 0xFFFF);
    }
  }
  return table;
}

}  // namespace

constexpr std::array<char16_t, kCharCount> kGeneralLower = MakeGeneralLowerTable();

namespace {

constexpr size_t kByteCount = 256;
constexpr char16_t kByteMask = 0xFF;

struct ByteRange {
  int first;
  int last;
};

// The word letters, classed by the low 8 bits of a character's code.
constexpr ByteRange kLetterRanges[] = {{65, 90}, {97, 122}, {192, 214}, {216, 246}, {248, 255}};
constexpr char16_t kFirstDigit = u'0';
constexpr char16_t kLastDigit = u'9';

constexpr std::array<bool, kByteCount> MakeLetterClass() {
  std::array<bool, kByteCount> table{};
  for (const ByteRange& r : kLetterRanges) {
    for (int c = r.first; c <= r.last; ++c)
      table[static_cast<size_t>(c)] = true;
  }
  return table;
}

constexpr std::array<bool, kByteCount> kLetterClass = MakeLetterClass();

constexpr bool IsAccentedLetter(char16_t c) {
  if (c < kByteCount) {
    for (const char16_t* p = kAccentedLetters; *p != 0; ++p) {
      if (*p == c) return true;
    }
    return false;
  }
  return c == u'\u0160' || c == u'\u0161' || c == u'\u0178';
}

constexpr std::array<bool, kByteCount> MakeAccentedLow() {
  std::array<bool, kByteCount> table{};
  for (size_t c = 0; c < kByteCount; ++c)
    table[c] = IsAccentedLetter(static_cast<char16_t>(c));
  return table;
}

constexpr std::array<bool, kByteCount> kAccentedLow = MakeAccentedLow();

}  // namespace

const TextView strUpperCaseLetters = kUpperCaseLetters;
const TextView strLowerCaseLetters = kLowerCaseLetters;
const TextView strAccentedLetters = kAccentedLetters;
const TextView strVowels = kVowels;

bool IsAccentedChar(char16_t c) {
  if (c < kByteCount) return kAccentedLow[c];
  return c == u'\u0160' || c == u'\u0161' || c == u'\u0178';
}

char16_t TableLowerChar(char16_t c) {
  // The capitals of the letter table are exactly those whose general lower form is their
  // partner in the lower-case table; every other character passes unchanged.
  if (c < kByteCount) {
    if ((c >= u'A' && c <= u'Z') || (c >= u'\u00C0' && c <= u'\u00DE' && c != u'\u00D7')) {
      return kGeneralLower[c];
    }
    return c;
  }
  if (c == u'\u0160' || c == u'\u0152' || c == u'\u0178') return kGeneralLower[c];
  return c;
}

void ToLowerGeneralInPlace(Text& text) {
  for (char16_t& c : text)
    c = kGeneralLower[c];
}

Text ToLowerGeneral(TextView text) {
  Text result(text);
  ToLowerGeneralInPlace(result);
  return result;
}

bool HasNoAccentedLetter(TextView text) {
  for (char16_t c : text) {
    if (IsAccentedChar(c)) return false;
  }
  return true;
}

Text LowerCase(TextView text) {
  if (HasNoAccentedLetter(text)) return ToLowerGeneral(text);
  Text result(text);
  for (char16_t& c : result)
    c = TableLowerChar(c);
  return result;
}

bool HasNoVowel(TextView text) {
  if (text.empty()) return true;
  int32_t index = 0;
  return FindCharInSet(text, 1, kVowelsAndY, index) == 0;
}

bool IsLetterChar(char16_t c, bool digits, TextView extra) {
  const char16_t low = c & kByteMask;
  if (kLetterClass[low]) return true;
  if (digits && low >= kFirstDigit && low <= kLastDigit) return true;
  if (extra.empty()) return false;
  return extra.find(Cp1252ToChar(static_cast<unsigned char>(low))) != TextView::npos;
}

bool IsLetterChar(TextView ch, bool digits, TextView extra) {
  if (ch.empty()) return false;
  return IsLetterChar(ch.front(), digits, extra);
}

const ByteTable& Cp1252LowerBytes() {
  static const ByteTable table = [] {
    ByteTable t{};
    for (size_t b = 0; b < kByteCount; ++b) {
      const int lowered = Cp1252FromChar(LowerChar(Cp1252ToChar(static_cast<unsigned char>(b))));
      // Every character of the code page lowers to one of the code page (the tests check it);
      // should one ever not, its byte stays as it is.
      t[b] = static_cast<unsigned char>(lowered >= 0 ? lowered : static_cast<int>(b));
    }
    return t;
  }();
  return table;
}

ByteSet LetterBytes(bool digits, TextView extra) {
  ByteSet set{};
  for (size_t b = 0; b < kByteCount; ++b)
    set[b] = IsLetterChar(Cp1252ToChar(static_cast<unsigned char>(b)), digits, extra);
  return set;
}

int32_t FindCharInSet(TextView text, int32_t start, TextView set, int32_t& index) {
  if (text.empty() || set.empty()) return 0;
  const size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
  for (size_t p = from; p < text.size(); ++p) {
    const size_t k = set.find(text[p]);
    if (k != TextView::npos) {
      index = static_cast<int32_t>(k) + 1;
      return static_cast<int32_t>(p) + 1;
    }
  }
  return 0;
}

int32_t FindCharNotInSet(TextView text, int32_t start, TextView set) {
  if (text.empty()) return 0;
  const size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
  for (size_t p = from; p < text.size(); ++p) {
    if (set.find(text[p]) == TextView::npos) return static_cast<int32_t>(p) + 1;
  }
  return 0;
}

}  // namespace tw
