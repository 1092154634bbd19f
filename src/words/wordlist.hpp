// The ranked word list ("List words") and the sentence shown when no word qualifies.
#pragma once

#include <locale>
#include <span>
#include <string>

#include "core/options.hpp"
#include "text/text.hpp"
#include "words/wordtable.hpp"

namespace tw {

// How the user's numbers are written: the decimal separator and the digit grouping (group
// sizes from the right, one character each, as std::numpunct gives them; empty: no groups).
struct NumberFormat {
  Text decimalSeparator = u".";
  Text groupSeparator = u",";
  std::string grouping;
};

// The number format of the user's locale (LC_ALL, LC_NUMERIC, LANG); a point and no groups
// when none is set or the system does not know it.
NumberFormat UserNumberFormat();
NumberFormat NumberFormatOf(const std::locale& locale);

// frequency x 100 / totalWords with two decimals, a half rounded up; 0 when the document
// has no words.
Text DensityText(int32_t frequency, int64_t totalWords, const NumberFormat& format);

// "No words with more than 3 letters occur at least twice." and its kin.
Text ReportNoWords(const ScanOptions& options);
// A key value rounded to the nearest whole number, a half to the even neighbour.
int64_t RoundHalfToEven(double value);
// The whole list as the output box shows it (the no-words sentence for an empty table),
// densities in the user's number format or in the one given.
Text WordListText(const WordTable& table, const ScanOptions& options);
Text WordListText(const WordTable& table, const ScanOptions& options, const NumberFormat& format);
// The same for entries given in rank order and the document's word count.
Text WordListText(std::span<const WordEntry> ranked, int64_t totalWords, const ScanOptions& options,
                  const NumberFormat& format);

}  // namespace tw
