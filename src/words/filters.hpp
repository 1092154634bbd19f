// The rules that keep a word out of the word table.
#pragma once

#include <array>
#include <string_view>

#include "core/options.hpp"
#include "text/text.hpp"

namespace tw {

class CommonWords;

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
// one more character), whether it is the word itself and, once the common-word test has run,
// its hash (HashWord).
struct FilterScratch {
  std::array<char16_t, intMaxWordLength + 1> buffer{};
  size_t length = 0;
  bool unchanged = false;
  bool hashed = false;
  uint32_t loweredHash = 0;

  TextView lowered() const { return TextView(buffer.data(), length); }
};

// The first filter that rejects the word.
WordFilter RejectingFilter(TextView word, const ScanOptions& options,
                           const CommonWords& commonWords, FilterScratch& scratch);
// The same for a word held one byte per character of the code page (see text/chars.hpp).
WordFilter RejectingFilter(std::string_view word, const ScanOptions& options,
                           const CommonWords& commonWords, FilterScratch& scratch);
bool IsRejectedWord(TextView word, const ScanOptions& options, const CommonWords& commonWords);

}  // namespace tw
