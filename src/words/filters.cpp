// The word filters that stand at the head of AddWord.
#include "words/filters.hpp"

#include <algorithm>
#include <vector>

#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "words/commonwords.hpp"
#include "words/wordhash.hpp"

namespace tw {

namespace {

constexpr char16_t kByteLimit = 256;
constexpr TextView kExtraVowels = u"Yy";
constexpr TextView kLySuffix = u"ly";
constexpr TextView kEdSuffix = u"ed";
constexpr TextView kPolySuffix = u"poly";

// What the filters need to know of a character, for the first 256 codes: its general
// lower-case form and whether it is a vowel (the vowel table followed by Y and y), a Roman
// numeral letter once lowered, or a space once lowered.
constexpr uint8_t kVowel = 1;
constexpr uint8_t kRoman = 2;
constexpr uint8_t kSpace = 4;
constexpr int kKindsShift = 16;
constexpr int kSameShift = 24;

struct CharTable {
  std::array<char16_t, kByteLimit> lower{};
  std::array<uint8_t, kByteLimit> kinds{};
  Text highVowels;              // vowels beyond the first 256 codes, if the table ever holds any
  Text stemEnds;                // every character that stands right before a space in the stems
  std::vector<TextView> stems;  // the contraction stems one by one
  // The same by the byte of a character of the code page, in one number: the lower-case
  // form, the kinds and whether the character is its own lower-case form.
  std::array<uint32_t, kByteLimit> byteInfo{};

  // The kinds of any character.
  uint8_t KindsOf(char16_t c, char16_t lowered) const {
    if (c < kByteLimit) return kinds[c];
    uint8_t k = highVowels.find(c) != Text::npos ? kVowel : 0;
    if (lowered < kByteLimit) k = static_cast<uint8_t>(k | (kinds[lowered] & (kRoman | kSpace)));
    return k;
  }
};

const CharTable& Chars() {
  static const CharTable table = [] {
    CharTable t;
    for (size_t c = 0; c < kByteLimit; ++c)
      t.lower[c] = LowerChar(static_cast<char16_t>(c));
    Text vowels(strVowels);
    vowels.append(kExtraVowels);
    for (char16_t c : vowels) {
      if (c >= kByteLimit) t.highVowels.push_back(c);
    }
    for (size_t c = 0; c < kByteLimit; ++c) {
      const char16_t l = t.lower[c];
      uint8_t k = vowels.find(static_cast<char16_t>(c)) != Text::npos ? kVowel : 0;
      if (kRomanNumeralLetters.find(l) != TextView::npos) k |= kRoman;
      if (l == u' ') k |= kSpace;
      t.kinds[c] = k;
    }
    for (size_t b = 0; b < kByteLimit; ++b) {
      const char16_t c = Cp1252ToChar(static_cast<unsigned char>(b));
      const char16_t l = LowerChar(c);
      t.byteInfo[b] = l | static_cast<uint32_t>(t.KindsOf(c, l)) << kKindsShift |
                      static_cast<uint32_t>(l == c) << kSameShift;
    }
    size_t stemStart = 0;
    for (size_t k = 1; k < strContractionStems.size(); ++k) {
      const char16_t before = strContractionStems[k - 1];
      if (strContractionStems[k] != u' ') continue;
      if (t.stemEnds.find(before) == Text::npos) t.stemEnds.push_back(before);
      t.stems.push_back(strContractionStems.substr(stemStart, k - stemStart));
      stemStart = k + 1;
    }
    return t;
  }();
  return table;
}

// A character of a word as the filters see it: its lower-case form, its kinds and whether it
// is its own lower-case form.
struct Lowered {
  char16_t lower;
  uint8_t kinds;
  bool same;
};

Lowered LowerOf(char16_t c, const CharTable& chars) {
  if (c < kByteLimit) return {chars.lower[c], chars.kinds[c], chars.lower[c] == c};
  const char16_t l = LowerChar(c);
  return {l, chars.KindsOf(c, l), l == c};
}

Lowered LowerOf(char byte, const CharTable& chars) {
  const uint32_t info = chars.byteInfo[static_cast<unsigned char>(byte)];
  return {static_cast<char16_t>(info), static_cast<uint8_t>(info >> kKindsShift),
          (info >> kSameShift) != 0};
}

// Whether the lowered word followed by a space occurs in the contraction stems. A word
// without a space can only be found there if it ends in a character that precedes a space.
bool IsContractionStem(FilterScratch& scratch, bool hasSpace, const CharTable& chars) {
  const TextView lowered = scratch.lowered();
  if (!lowered.empty() && !hasSpace) {
    if (chars.stemEnds.find(lowered.back()) == Text::npos) return false;
    // Without a space the word followed by one stands in the stems exactly when it ends one.
    return std::any_of(chars.stems.begin(), chars.stems.end(),
                       [lowered](TextView stem) { return stem.ends_with(lowered); });
  }
  scratch.buffer[scratch.length] = u' ';
  return strContractionStems.find(TextView(scratch.buffer.data(), scratch.length + 1)) !=
         TextView::npos;
}

inline bool EndsWith(TextView text, TextView suffix) {
  return text.size() >= suffix.size() &&
         std::equal(suffix.begin(), suffix.end(), text.end() - suffix.size());
}

// The filters over a word of 16-bit characters or of bytes of the code page: the same steps,
// only the characters are looked up in different tables.
template <class Char>
WordFilter Filter(std::basic_string_view<Char> word, const ScanOptions& options,
                  const CommonWords& commonWords, FilterScratch& scratch) {
  scratch.hashed = false;
  scratch.unchanged = false;
  const auto length = static_cast<int64_t>(word.size());
  if (options.ignoreShortWords && length <= options.shortWordSize) {
    return WordFilter::ShortWord;
  }
  if (length > intMaxWordLength) return WordFilter::TooLong;

  // One pass lowers the word and notes what the character tests need.
  const CharTable& chars = Chars();
  // Longer words are gone, so the word and one more character fit the buffer.
  scratch.length = word.size();
  char16_t* out = scratch.buffer.data();
  const char16_t first = word.empty() ? u'\0' : LowerOf(word[0], chars).lower;
  bool allSame = true;
  bool unchanged = true;
  uint8_t all = kRoman;  // kinds that every character has
  uint8_t any = 0;       // kinds that some character has
  WordHasher hasher;
  for (const Char c : word) {
    const Lowered l = LowerOf(c, chars);
    *out++ = l.lower;
    hasher.Add(l.lower);
    allSame &= l.lower == first;
    unchanged &= l.same;
    all &= l.kinds;
    any |= l.kinds;
  }
  scratch.unchanged = unchanged;
  scratch.loweredHash = hasher.Value();
  scratch.hashed = true;
  const bool allRoman = (all & kRoman) != 0;
  const bool hasVowel = (any & kVowel) != 0;
  const bool hasSpace = (any & kSpace) != 0;

  // Deleting every copy of the first character leaves nothing.
  if (length > 1 && allSame) return WordFilter::RepeatedCharacter;

  if (!options.wordsToIgnoreList.empty()) {
    scratch.buffer[scratch.length] = u',';
    const bool listed =
        TextView(options.wordsToIgnoreList)
            .find(TextView(scratch.buffer.data(), scratch.length + 1)) != TextView::npos;
    if (listed) return WordFilter::Listed;
  }

  if (allRoman) return WordFilter::RomanNumeral;
  if (!hasVowel) return WordFilter::NoVowel;
  if (options.language == Language::English && IsContractionStem(scratch, hasSpace, chars)) {
    return WordFilter::ContractionStem;
  }

  const TextView lowered = scratch.lowered();
  if (options.ignoreCommonWords) {
    if (commonWords.IsLoweredCommonWord(lowered, scratch.loweredHash,
                                        PositionOf(options.language))) {
      return WordFilter::CommonWord;
    }
  }

  if (length >= kAdverbMinLength &&
      (EndsWith(lowered, kLySuffix) || EndsWith(lowered, kEdSuffix)) &&
      std::find(strIgnoredLySuffixExceptions.begin(), strIgnoredLySuffixExceptions.end(),
                TextView(lowered)) == strIgnoredLySuffixExceptions.end() &&
      !EndsWith(lowered, kPolySuffix)) {
    return WordFilter::AdverbOrParticiple;
  }
  return WordFilter::None;
}

}  // namespace

WordFilter RejectingFilter(TextView word, const ScanOptions& options,
                           const CommonWords& commonWords, FilterScratch& scratch) {
  return Filter(word, options, commonWords, scratch);
}

WordFilter RejectingFilter(std::string_view word, const ScanOptions& options,
                           const CommonWords& commonWords, FilterScratch& scratch) {
  return Filter(word, options, commonWords, scratch);
}

bool IsRejectedWord(TextView word, const ScanOptions& options, const CommonWords& commonWords) {
  FilterScratch scratch;
  return RejectingFilter(word, options, commonWords, scratch) != WordFilter::None;
}

}  // namespace tw
