// The word filters and the plural merge that stand at the head of AddWord.
#include "words/filters.hpp"

#include <algorithm>

#include "text/chars.hpp"
#include "words/commonwords.hpp"
#include "words/wordhash.hpp"
#include "words/wordtable.hpp"

namespace tw {

namespace {

constexpr char16_t kAsciiLimit = 128;
constexpr char16_t kByteLimit = 256;
constexpr TextView kExtraVowels = u"Yy";
constexpr TextView kLySuffix = u"ly";
constexpr TextView kEdSuffix = u"ed";
constexpr TextView kPolySuffix = u"poly";

// The general lower-case conversion of one character, with a quick path for ASCII.
inline char16_t LowerFast(char16_t c) {
  if (c < kAsciiLimit)
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
  return LowerChar(c);
}

// The vowels of HasNoVowel (the vowel table followed by Y and y) as a look-up table.
struct VowelTable {
  std::array<bool, kByteLimit> low{};
  Text high;  // vowels beyond the first 256 codes, if the table ever holds any

  bool IsVowel(char16_t c) const { return c < kByteLimit ? low[c] : high.find(c) != Text::npos; }
};

const VowelTable& Vowels() {
  static const VowelTable table = [] {
    VowelTable t;
    Text all(strVowels);
    all.append(kExtraVowels);
    for (char16_t c : all) {
      if (c < kByteLimit) {
        t.low[c] = true;
      } else {
        t.high.push_back(c);
      }
    }
    return t;
  }();
  return table;
}

// Every character that stands right before a space in the contraction stems. A word without
// a space can only be found there followed by a space if it ends in one of them.
const Text& CharsBeforeStemEnds() {
  static const Text chars = [] {
    Text found;
    for (size_t k = 1; k < strContractionStems.size(); ++k) {
      if (strContractionStems[k] == u' ' && found.find(strContractionStems[k - 1]) == Text::npos) {
        found.push_back(strContractionStems[k - 1]);
      }
    }
    return found;
  }();
  return chars;
}

bool IsContractionStem(Text& lowered) {
  if (!lowered.empty() && CharsBeforeStemEnds().find(lowered.back()) == Text::npos &&
      lowered.find(u' ') == Text::npos) {
    return false;
  }
  lowered.push_back(u' ');
  const bool stem = strContractionStems.find(lowered) != TextView::npos;
  lowered.pop_back();
  return stem;
}

// The Roman numeral letters as a look-up table over the ASCII range.
const std::array<bool, kAsciiLimit>& RomanLetters() {
  static const std::array<bool, kAsciiLimit> table = [] {
    std::array<bool, kAsciiLimit> t{};
    for (char16_t c : kRomanNumeralLetters)
      t[c] = true;
    return t;
  }();
  return table;
}

bool IsRomanLetter(char16_t c) {
  return c < kAsciiLimit && RomanLetters()[c];
}

bool EndsWith(TextView text, TextView suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace

WordFilter RejectingFilter(TextView word, const AnalysisSettings& settings,
                           const CommonWords& commonWords, FilterScratch& scratch) {
  scratch.hashed = false;
  Text& lowered = scratch.lowered;
  const auto length = static_cast<int64_t>(word.size());
  if (settings.chkIgnoreShortWords && length <= settings.ShortWordSize()) {
    return WordFilter::ShortWord;
  }
  if (length > intMaxWordLength) return WordFilter::TooLong;

  lowered.resize(word.size());
  for (size_t k = 0; k < word.size(); ++k)
    lowered[k] = LowerFast(word[k]);

  if (length > 1 && std::all_of(lowered.begin(), lowered.end(),
                                [first = lowered.front()](char16_t c) { return c == first; })) {
    return WordFilter::RepeatedCharacter;
  }

  if (!settings.strWordsToIgnoreList.empty()) {
    lowered.push_back(u',');
    const bool listed = TextView(settings.strWordsToIgnoreList).find(lowered) != TextView::npos;
    lowered.pop_back();
    if (listed) return WordFilter::Listed;
  }

  if (std::all_of(lowered.begin(), lowered.end(), IsRomanLetter)) {
    return WordFilter::RomanNumeral;
  }

  const VowelTable& vowels = Vowels();
  if (std::none_of(word.begin(), word.end(), [&](char16_t c) { return vowels.IsVowel(c); })) {
    return WordFilter::NoVowel;
  }

  if (settings.cboLanguage == kEnglishLanguageIndex && IsContractionStem(lowered)) {
    return WordFilter::ContractionStem;
  }

  if (settings.chkIgnoreCommonWords) {
    scratch.loweredHash = HashWord(lowered);
    scratch.hashed = true;
    if (commonWords.IsLoweredCommonWord(lowered, scratch.loweredHash, settings.cboLanguage)) {
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

bool IsRejectedWord(TextView word, const AnalysisSettings& settings,
                    const CommonWords& commonWords) {
  FilterScratch scratch;
  return RejectingFilter(word, settings, commonWords, scratch) != WordFilter::None;
}

void MergePlural(Text& word, WordTable& table) {
  // Entries whose word plus "s" is the word can only hold the word without its final "s".
  int32_t singular = WordTable::kNoEntry;
  if (word.size() > 1 && word.back() == u's') {
    singular = table.FindFirstEntry(TextView(word).substr(0, word.size() - 1));
  }
  const int32_t plural = table.FindFirstEntry(word, u"s");
  if (singular == WordTable::kNoEntry && plural == WordTable::kNoEntry) return;
  if (singular != WordTable::kNoEntry &&
      (plural == WordTable::kNoEntry || table.RanksBefore(singular, plural))) {
    word.pop_back();
    return;
  }
  table.RenameEntry(plural, word);
}

}  // namespace tw
