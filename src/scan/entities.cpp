// Character references and word extraction.
#include "scan/entities.hpp"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/language.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"

namespace tw {

const std::array<EntityEntry, kNumFixedReplacements> kFixedReplacements = {{
    {u"&nbsp;", u' '},
    {u"&#160;", u' '},
    {u"&quot;", u'"'},
    {u"&laquo;", u'"'},
    {u"&raquo;", u'"'},
}};

const std::array<EntityEntry, kNumEntities> strEntityTable = {{
    {u"&copy;", u'\u00A9'},   {u"&amp;", u'&'},         {u"&nbsp;", u' '},
    {u"&#160;", u' '},        {u"&#8212;", u'\u2014'},  {u"&AElig;", u'\u00C6'},
    {u"&Aacute;", u'\u00C1'}, {u"&Acirc;", u'\u00C2'},  {u"&Agrave;", u'\u00C0'},
    {u"&Aring;", u'\u00C5'},  {u"&Atilde;", u'\u00C3'}, {u"&Auml;", u'\u00C4'},
    {u"&Ccedil;", u'\u00C7'}, {u"&ETH;", u'\u00D0'},    {u"&Eacute;", u'\u00C9'},
    {u"&Ecirc;", u'\u00CA'},  {u"&Egrave;", u'\u00C8'}, {u"&Euml;", u'\u00CB'},
    {u"&Iacute;", u'\u00CD'}, {u"&Icirc;", u'\u00CE'},  {u"&Igrave;", u'\u00CC'},
    {u"&Iuml;", u'\u00CF'},   {u"&Ntilde;", u'\u00D1'}, {u"&Oacute;", u'\u00D3'},
    {u"&Ocirc;", u'\u00D4'},  {u"&Ograve;", u'\u00D2'}, {u"&Oslash;", u'\u00D8'},
    {u"&Otilde;", u'\u00D5'}, {u"&Ouml;", u'\u00D6'},   {u"&THORN;", u'\u00DE'},
    {u"&Uacute;", u'\u00DA'}, {u"&Ucirc;", u'\u00DB'},  {u"&Ugrave;", u'\u00D9'},
    {u"&Uuml;", u'\u00DC'},   {u"&Yacute;", u'\u00DD'}, {u"&aacute;", u'\u00E1'},
    {u"&acirc;", u'\u00E2'},  {u"&aelig;", u'\u00E6'},  {u"&agrave;", u'\u00E0'},
    {u"&aring;", u'\u00E5'},  {u"&atilde;", u'\u00E3'}, {u"&auml;", u'\u00E4'},
    {u"&ccedil;", u'\u00E7'}, {u"&eacute;", u'\u00E9'}, {u"&ecirc;", u'\u00EA'},
    {u"&egrave;", u'\u00E8'}, {u"&eth;", u'\u00F0'},    {u"&euml;", u'\u00EB'},
    {u"&iacute;", u'\u00ED'}, {u"&icirc;", u'\u00EE'},  {u"&igrave;", u'\u00EC'},
    {u"&iuml;", u'\u00EF'},   {u"&ntilde;", u'\u00F1'}, {u"&oacute;", u'\u00F3'},
    {u"&ocirc;", u'\u00F4'},  {u"&ograve;", u'\u00F2'}, {u"&oslash;", u'\u00F8'},
    {u"&otilde;", u'\u00F5'}, {u"&ouml;", u'\u00F6'},   {u"&szlig;", u'\u00DF'},
    {u"&thorn;", u'\u00FE'},  {u"&uacute;", u'\u00FA'}, {u"&ucirc;", u'\u00FB'},
    {u"&ugrave;", u'\u00F9'}, {u"&uuml;", u'\u00FC'},   {u"&yacute;", u'\u00FD'},
    {u"&yuml;", u'\u00FF'},
}};

namespace {

constexpr TextView kQuotReference = u"&quot;";
constexpr char kReferenceStart = '&';
constexpr char kReferenceEnd = ';';
constexpr TextView kFrenchWordExtras = u"-'";
constexpr int32_t kByteValues = 256;
constexpr char16_t kByteMask = 0xFF;
constexpr char16_t kAsciiEnd = 0x80;

// The references up to eight bytes long, each packed into one 64-bit number, in a small
// open-addressing table: one multiplication and usually one comparison per look-up.
class ReferenceTable {
 public:
  ReferenceTable() {
    for (const EntityEntry& e : strEntityTable)
      Add(e.reference, e.character);
    Add(kQuotReference, u'"');
  }

  int Find(std::string_view reference) const {
    if (reference.empty() || reference.size() > kLongestReference) return -1;
    const uint64_t key = Pack(reference);
    for (size_t slot = SlotOf(key);; slot = (slot + 1) % kSlots) {
      if (length_[slot] == 0) return -1;
      if (keys_[slot] == key && length_[slot] == reference.size()) return bytes_[slot];
    }
  }

 private:
  static constexpr size_t kSlots = 256;
  static constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;
  static constexpr int kSlotShift = 56;
  static constexpr int kBitsPerByte = 8;

  static uint64_t Pack(std::string_view reference) {
    uint64_t key = 0;
    for (size_t k = reference.size(); k-- > 0;)
      key = key << kBitsPerByte | static_cast<unsigned char>(reference[k]);
    return key;
  }
  static size_t SlotOf(uint64_t key) {
    return static_cast<size_t>((key * kMultiplier) >> kSlotShift);
  }

  void Add(TextView reference, char16_t character) {
    const std::string bytes = EncodeCp1252(reference);
    size_t slot = SlotOf(Pack(bytes));
    while (length_[slot] != 0)
      slot = (slot + 1) % kSlots;
    keys_[slot] = Pack(bytes);
    length_[slot] = static_cast<uint8_t>(bytes.size());
    bytes_[slot] = Cp1252FromChar(character);
  }

  std::array<uint64_t, kSlots> keys_{};
  std::array<uint8_t, kSlots> length_{};
  std::array<int, kSlots> bytes_{};
};

const ReferenceTable& References() {
  static const ReferenceTable table;
  return table;
}

// The letter class of IsLetterChar for one combination of digits and extra characters,
// by the low 8 bits of a character, as IsLetterChar classes them.
struct LetterClass {
  std::array<bool, kByteValues> is{};
  LetterClass(bool digits, TextView extra) {
    for (int32_t c = 0; c < kByteValues; ++c) {
      is[c] = IsLetterChar(static_cast<char16_t>(c), digits, extra);
    }
  }
  bool operator()(char16_t c) const { return is[c & kByteMask]; }
};

const LetterClass* CachedLetterClass(bool digits, TextView extra) {
  static const LetterClass plain(false, u"");
  static const LetterClass plainDigits(true, u"");
  static const LetterClass french(false, kFrenchWordExtras);
  static const LetterClass frenchDigits(true, kFrenchWordExtras);
  if (extra.empty()) return digits ? &plainDigits : &plain;
  if (extra == kFrenchWordExtras) return digits ? &frenchDigits : &french;
  return nullptr;
}

}  // namespace

int EntityByte(std::string_view reference) {
  return References().Find(reference);
}

char16_t EntityChar(TextView reference) {
  if (reference.size() > kLongestReference) return 0;
  std::string bytes;
  for (char16_t c : reference) {
    if (c >= kAsciiEnd) return 0;  // every reference is ASCII
    bytes.push_back(static_cast<char>(c));
  }
  const int b = EntityByte(bytes);
  return b < 0 ? char16_t{0} : Cp1252ToChar(static_cast<unsigned char>(b));
}

FixedReference FixedReferenceAt(std::string_view text) {
  // The references as bytes, and which of them can stand behind each second character.
  struct Table {
    std::array<std::string, kNumFixedReplacements> references;
    std::array<char, kNumFixedReplacements> bytes{};
    std::array<uint8_t, kByteValues> bySecond{};
    Table() {
      for (size_t k = 0; k < references.size(); ++k) {
        references[k] = EncodeCp1252(kFixedReplacements[k].reference);
        bytes[k] = static_cast<char>(Cp1252FromChar(kFixedReplacements[k].character));
        bySecond[static_cast<unsigned char>(references[k][1])] |= static_cast<uint8_t>(1u << k);
      }
    }
  };
  static const Table table;
  if (text.size() < 2 || text[0] != kReferenceStart) return {};
  // In their order: the first that begins the text.
  for (unsigned candidates = table.bySecond[static_cast<unsigned char>(text[1])]; candidates != 0;
       candidates &= candidates - 1) {
    const auto k = static_cast<size_t>(std::countr_zero(candidates));
    if (text.starts_with(table.references[k])) return {table.references[k].size(), table.bytes[k]};
  }
  return {};
}

void DecodeEntities(std::string& line) {
  line.resize(DecodeEntitiesInPlace(line.data(), line.size()));
}

size_t DecodeEntitiesInPlace(char* data, size_t n) {
  const std::string_view line(data, n);
  size_t amp = line.find(kReferenceStart);
  if (amp == std::string_view::npos) return n;
  // Every replacement is shorter than what it replaces, so what is written never overtakes
  // what is still to be read.
  size_t written = amp;
  size_t read = amp;
  for (;;) {
    const size_t semi = line.find(kReferenceEnd, amp);
    if (semi == std::string_view::npos) break;
    const size_t length = semi - amp + 1;
    const int b = length <= kLongestReference ? EntityByte(line.substr(amp, length)) : -1;
    if (b >= 0) {
      std::memmove(data + written, data + read, amp - read);
      written += amp - read;
      data[written++] = static_cast<char>(b);
      read = semi + 1;
    }
    amp = line.find(kReferenceStart, semi + 1);
    if (amp == std::string_view::npos) break;
  }
  std::memmove(data + written, data + read, n - read);
  return written + n - read;
}

int32_t WordRunLength(TextView text, int32_t start, bool digits, TextView extra, WordRunEnd* end) {
  if (start < 1 || static_cast<size_t>(start) > text.size()) {
    if (end != nullptr) *end = WordRunEnd{};
    return 0;
  }
  const size_t from = static_cast<size_t>(start) - 1;
  const size_t limit = std::min(text.size(), from + static_cast<size_t>(kMaxWordRunLength));
  size_t p = from;
  if (const LetterClass* cls = CachedLetterClass(digits, extra)) {
    while (p < limit && (*cls)(text[p]))
      ++p;
  } else {
    while (p < limit && IsLetterChar(text[p], digits, extra))
      ++p;
  }
  if (end != nullptr) {
    *end = WordRunEnd{};
    if (p < text.size()) {
      const char16_t after = text[p];
      end->semicolon = after == u';';
      end->fullStop = after == u'.';
      end->doubleQuote = after == u'"';
      end->tab = after == u'\t';
    }
  }
  return static_cast<int32_t>(p - from);
}

TextView WordExtraChars(int32_t languagePosition) {
  return languagePosition == kFrenchLanguageIndex ? kFrenchWordExtras : TextView();
}

WordLetters::WordLetters(int32_t languagePosition)
    : letter_(LetterBytes(false, TextView())),
      inWord_(LetterBytes(false, WordExtraChars(languagePosition))),
      lower_(&Cp1252LowerBytes()) {
  const bool extraHyphen = inWord_['-'];
  const bool extraApostrophe = inWord_['\''];
#if defined(__SSE2__)
  hyphen_ = _mm_set1_epi8(extraHyphen ? '-' : 'a');
  apostrophe_ = _mm_set1_epi8(extraApostrophe ? '\'' : 'a');
#endif
  asciiByRange_ = true;
  for (unsigned char b = 0; b < kSignFlip; ++b) {
    const bool letter = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
    const bool expected = letter || (b == '-' && extraHyphen) || (b == '\'' && extraApostrophe);
    if (inWord_[b] != expected) asciiByRange_ = false;
  }
}

WordCut CutWord(std::string_view line, size_t at, int32_t languagePosition) {
  return WordLetters(languagePosition).Cut(line, at);
}

}  // namespace tw
