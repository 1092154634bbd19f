// The word filters and the plural merge that stand at the head of AddWord.
#include "words/filters.hpp"

#include <algorithm>

#include "text/chars.hpp"
#include "words/commonwords.hpp"
#include "words/wordhash.hpp"
#include "words/wordtable.hpp"

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

struct CharTable {
  std::array<char16_t, kByteLimit> lower{};
  std::array<uint8_t, kByteLimit> kinds{};
  Text highVowels;  // vowels beyond the first 256 codes, if the table ever holds any
  Text stemEnds;    // every character that stands right before a space in the stems

  // The same for any character.
  uint8_t KindsOf(char16_t c, char16_t lowered) const {
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
    for (size_t k = 1; k < strContractionStems.size(); ++k) {
      const char16_t before = strContractionStems[k - 1];
      if (strContractionStems[k] == u' ' && t.stemEnds.find(before) == Text::npos) {
        t.stemEnds.push_back(before);
      }
    }
    return t;
  }();
  return table;
}

// Whether the lowered word followed by a space occurs in the contraction stems. A word
// without a space can only be found there if it ends in a character that precedes a space.
bool IsContractionStem(FilterScratch& scratch, bool hasSpace, const CharTable& chars) {
  const TextView lowered = scratch.lowered();
  if (!lowered.empty() && !hasSpace && chars.stemEnds.find(lowered.back()) == Text::npos) {
    return false;
  }
  scratch.buffer[scratch.length] = u' ';
  return strContractionStems.find(TextView(scratch.buffer.data(), scratch.length + 1)) !=
         TextView::npos;
}

inline bool EndsWith(TextView text, TextView suffix) {
  return text.size() >= suffix.size() &&
         std::equal(suffix.begin(), suffix.end(), text.end() - suffix.size());
}

}  // namespace

WordFilter RejectingFilter(TextView word, const ScanOptions& options,
                           const CommonWords& commonWords, FilterScratch& scratch) {
  scratch.hashed = false;
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
  const char16_t first = word.empty()           ? u'\0'
                         : word[0] < kByteLimit ? chars.lower[word[0]]
                                                : LowerChar(word[0]);
  bool allSame = true;
  uint8_t all = kRoman;  // kinds that every character has
  uint8_t any = 0;       // kinds that some character has
  for (const char16_t c : word) {
    char16_t l;
    uint8_t kinds;
    if (c < kByteLimit) {
      l = chars.lower[c];
      kinds = chars.kinds[c];
    } else {
      l = LowerChar(c);
      kinds = chars.KindsOf(c, l);
    }
    *out++ = l;
    allSame &= l == first;
    all &= kinds;
    any |= kinds;
  }
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
    scratch.loweredHash = HashWord(lowered);
    scratch.hashed = true;
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

bool IsRejectedWord(TextView word, const ScanOptions& options, const CommonWords& commonWords) {
  FilterScratch scratch;
  return RejectingFilter(word, options, commonWords, scratch) != WordFilter::None;
}

void MergePlural(Text& word, WordTable& table) {
  MergePlural(word, HashWord(word), table);
}

void MergePlural(Text& word, uint32_t wordHash, WordTable& table) {
  // Entries whose word plus "s" is the word can only hold the word without its final "s".
  int32_t singular = WordTable::kNoEntry;
  if (word.size() > 1 && word.back() == u's') {
    singular = table.FindFirstEntry(TextView(word).substr(0, word.size() - 1));
  }
  const int32_t plural =
      table.MayHoldPluralOf(wordHash) ? table.FindFirstEntry(word, u"s") : WordTable::kNoEntry;
  if (singular == WordTable::kNoEntry && plural == WordTable::kNoEntry) return;
  if (singular != WordTable::kNoEntry &&
      (plural == WordTable::kNoEntry || table.RanksBefore(singular, plural))) {
    word.pop_back();
    return;
  }
  table.RenameEntry(plural, word);
}

}  // namespace tw
