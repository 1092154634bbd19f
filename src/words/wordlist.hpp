// The ranked word list ("List words") and the sentence shown when no word qualifies.
#pragma once

#include "analysis/settings.hpp"
#include "text/text.hpp"
#include "words/wordtable.hpp"

namespace tw {

// "No words with more than 3 letters occur at least twice." and its kin.
Text ReportNoWords(const AnalysisSettings& settings);
// A key value rounded to the nearest whole number, a half to the even neighbour.
int64_t RoundHalfToEven(double value);
// The whole list as the output box shows it (the no-words sentence for an empty table).
Text WordListText(const WordTable& table, const AnalysisSettings& settings);

}  // namespace tw
