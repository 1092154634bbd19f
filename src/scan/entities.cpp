// Character references and word extraction.
#include "scan/entities.hpp"

#include <algorithm>
#include <unordered_map>

#include "core/language.hpp"
#include "text/chars.hpp"

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
constexpr char16_t kReferenceStart = u'&';
constexpr char16_t kReferenceEnd = u';';
constexpr char16_t kApostrophe = u'\'';
constexpr TextView kFrenchWordExtras = u"-'";
constexpr size_t kLongestReference = 8;  // "&Aacute;"
constexpr int32_t kByteValues = 256;
constexpr char16_t kByteMask = 0xFF;

const std::unordered_map<TextView, char16_t>& EntityMap() {
  static const std::unordered_map<TextView, char16_t> map = [] {
    std::unordered_map<TextView, char16_t> m;
    for (const EntityEntry& e : strEntityTable)
      m.emplace(e.reference, e.character);
    m.emplace(kQuotReference, u'"');
    return m;
  }();
  return map;
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

char16_t FixedReplacementChar(TextView reference) {
  for (const EntityEntry& e : kFixedReplacements) {
    if (e.reference == reference) return e.character;
  }
  return 0;
}

char16_t EntityChar(TextView reference) {
  if (reference.size() > kLongestReference) return 0;
  const auto& map = EntityMap();
  const auto it = map.find(reference);
  return it == map.end() ? 0 : it->second;
}

void ReplaceFixedReferences(Text& line) {
  // The five references begin with "&", end with the first ";" and hold neither inside, and
  // each is replaced by a character that none of them contains: one pass gives the result of
  // replacing them one after another.
  size_t at = line.find(kReferenceStart);
  if (at == Text::npos) return;
  InPlaceRewriter rewriter(line);
  while (at != Text::npos) {
    const TextView rest = TextView(line).substr(at);
    size_t next = at + 1;
    for (const EntityEntry& e : kFixedReplacements) {
      if (rest.starts_with(e.reference)) {
        rewriter.Replace(at, e.reference.size(), e.character);
        next = at + e.reference.size();
        break;
      }
    }
    at = line.find(kReferenceStart, next);
  }
  rewriter.Finish();
}

void DecodeEntities(Text& line) {
  size_t amp = line.find(kReferenceStart);
  if (amp == Text::npos) return;
  InPlaceRewriter rewriter(line);
  for (;;) {
    const size_t semi = line.find(kReferenceEnd, amp);
    if (semi == Text::npos) break;
    const char16_t c = EntityChar(TextView(line).substr(amp, semi - amp + 1));
    if (c != 0) rewriter.Replace(amp, semi - amp + 1, c);
    amp = line.find(kReferenceStart, semi + 1);
    if (amp == Text::npos) break;
  }
  rewriter.Finish();
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

WordCut CutWord(TextView line, int32_t p, int32_t languagePosition) {
  WordCut cut;
  if (p >= 1 && static_cast<size_t>(p) <= line.size()) {
    const LetterClass& cls = *CachedLetterClass(false, WordExtraChars(languagePosition));
    const size_t from = static_cast<size_t>(p) - 1;
    const size_t limit = std::min(line.size(), from + static_cast<size_t>(kMaxWordRunLength));
    size_t end = from;
    while (end < limit && cls(line[end]))
      ++end;
    cut.length = static_cast<int32_t>(end - from);
  }
  cut.next = p + cut.length;
  // A short contraction: an apostrophe, one letter other than s, then a space.
  const size_t after = static_cast<size_t>(p - 1) + static_cast<size_t>(cut.length);
  if (after + 2 < line.size() && line[after] == kApostrophe &&
      IsLetterChar(line[after + 1], false, TextView()) && LowerChar(line[after + 1]) != u's' &&
      line[after + 2] == u' ') {
    cut.contraction = true;
    cut.next = p + cut.length + 3;
  }
  return cut;
}

}  // namespace tw
