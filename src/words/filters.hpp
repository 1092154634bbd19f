// The rules that keep a word out of the word table, and the merging of a word with its
// plural or singular form already in the table.
#pragma once

#include <array>

#include "core/options.hpp"
#include "text/text.hpp"

namespace tw {

class CommonWords;
class WordTable;

inline constexpr TextView strContractionStems =
    u"aren couldn didn doesn hadn hasn isn shouldn wasn weren wouldn ";
inline constexpr std::array<TextView, 6> strIgnoredLySuffixExceptions = {
    u"alfred", u"limited", u"screed", u"tweed", u"filly", u"folly"};
inline constexpr TextView kRomanNumeralLetters = u"ivxlcm";
// Words longer than this are tested for an adverb or participle ending.
inline constexpr int32_t kAdverbMinLength = 5;

// The filters in the order they are tried; None when the word passes them all.
enum class WordFilter {
  None,
  ShortWord,
  TooLong,
  RepeatedCharacter,
  Listed,
  RomanNumeral,
  NoVowel,
  ContractionStem,
  CommonWord,
  AdverbOrParticiple,
};

// Scratch space of the filters, reused from call to call: the lower-cased word (with room for
// one more character) and, once the common-word test has run, its hash (HashWord).
struct FilterScratch {
  std::array<char16_t, intMaxWordLength + 1> buffer{};
  size_t length = 0;
  bool hashed = false;
  uint32_t loweredHash = 0;

  TextView lowered() const { return TextView(buffer.data(), length); }
};

// The first filter that rejects the word.
WordFilter RejectingFilter(TextView word, const ScanOptions& options,
                           const CommonWords& commonWords, FilterScratch& scratch);
bool IsRejectedWord(TextView word, const ScanOptions& options, const CommonWords& commonWords);

// Singular and plural share one entry: a word that is an entry's word plus "s" is shortened
// to it; an entry whose word is the word plus "s" is renamed to the word. The first such
// entry in rank order decides.
void MergePlural(Text& word, WordTable& table);
// The same with the word's HashWord already known.
void MergePlural(Text& word, uint32_t wordHash, WordTable& table);

}  // namespace tw
