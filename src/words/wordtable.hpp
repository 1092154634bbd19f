// The word table: one entry per distinct word with its key value (the sum of the weights of
// its occurrences), its frequency and whether it was first met in the title or a meta tag.
// Ranked by key value, highest first; among equal key values the entry that reached its
// value first comes first.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/settings.hpp"
#include "text/text.hpp"

namespace tw {

class CommonWords;

// The scanner's context at the moment a word is handed over.
struct OccurrenceContext {
  bool blnInTitle = false;
  bool blnInDescription = false;
  bool blnInExistingKeywords = false;
  bool blnBold = false;
  bool blnItalic = false;
  int32_t intHeadingWeight = 0;
  int32_t intFontSize = 3;
  int32_t intTableDepth = 0;
  int32_t intDivDepth = 0;
  int32_t intSpanDepth = 0;
};

// The weight of one occurrence in that context under those settings.
float OccurrenceWeight(const OccurrenceContext& context, const AnalysisSettings& settings);

enum class AddResult { Rejected, Counted, NewWord };

struct WordEntry {
  Text word;
  float keyValue = 0;
  int32_t frequency = 0;
  bool fromTitleOrMeta = false;
};

class WordTable {
 public:
  WordTable();
  // Empty table, room for 500 entries, no words, lngTotalWords 0.
  void Reset();

  // The filters, the plural merge, then the count. `strCurrentWord` may be shortened.
  AddResult AddWord(Text& strCurrentWord, const OccurrenceContext& context,
                    const AnalysisSettings& settings, const CommonWords& commonWords);

  // The finishing steps, in this order after a scan that was not stopped.
  void ApplyMinFrequency(int32_t minFrequency);
  void MergeCaseVariants();
  void NormaliseKeyValues();

  int32_t intNumWords() const;
  // The document's word count: every word handed over that came back non-empty.
  int64_t lngTotalWords = 0;

  // The entries in rank order (rank 1 first). Valid at any time; cheap after the finishing
  // steps, which put the table in rank order once.
  const std::vector<WordEntry>& Ranked() const;

 private:
  struct Impl;
  // Implementation detail, kept in wordtable.cpp.
  std::vector<WordEntry> entries_;
  mutable std::vector<WordEntry> ranked_;
  mutable bool rankedValid_ = false;
  std::vector<uint64_t> stamps_;
  uint64_t clock_ = 0;
  int32_t numWords_ = 0;
};

}  // namespace tw
