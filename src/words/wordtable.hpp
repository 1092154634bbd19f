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

  bool operator==(const WordEntry&) const = default;
};

inline constexpr int32_t kInitialWordTableCapacity = 500;

class WordTable {
 public:
  WordTable();
  // Empty table, room for 500 entries, no words, lngTotalWords 0.
  void Reset();

  // The filters, the plural merge, then the count. `strCurrentWord` may be shortened. The
  // caller (the scanner) keeps lngTotalWords; this does not touch it.
  AddResult AddWord(Text& strCurrentWord, const OccurrenceContext& context,
                    const AnalysisSettings& settings, const CommonWords& commonWords);
  // The plural merge and the count alone, for a word that passed the filters.
  AddResult CountWord(Text& strCurrentWord, float weight, bool fromTitleOrMeta);

  // The finishing steps, in this order after a scan that was not stopped. Each leaves the
  // table in rank order.
  void ApplyMinFrequency(int32_t minFrequency);
  void MergeCaseVariants();
  void NormaliseKeyValues();

  int32_t intNumWords() const { return static_cast<int32_t>(entries_.size()); }
  // The document's word count: every word handed over that came back non-empty. Kept by
  // the scanner.
  int64_t lngTotalWords = 0;

  // The entries in rank order (rank 1 first). Valid at any time; cheap after the finishing
  // steps, which put the table in rank order once.
  const std::vector<WordEntry>& Ranked() const;

  // Entry handles, for the plural merge. A handle stays valid until the next finishing step
  // or Reset.
  static constexpr int32_t kNoEntry = -1;
  // The first entry in rank order whose word is `head` followed by `tail`, or kNoEntry.
  int32_t FindFirstEntry(TextView head, TextView tail = {}) const;
  // Whether entry a stands before entry b in rank order.
  bool RanksBefore(int32_t a, int32_t b) const;
  const WordEntry& Entry(int32_t handle) const { return entries_[handle]; }
  // Gives an entry another word; its key value, frequency, flag and rank stay.
  void RenameEntry(int32_t handle, TextView word);

 private:
  struct Slot {
    uint32_t hash = 0;
    int32_t head = kNoEntry;  // first entry of the chain of entries holding one word
  };

  int32_t FindSlot(TextView head, TextView tail, uint32_t hash) const;
  void IndexInsert(int32_t handle);
  void IndexRemove(int32_t handle);
  void EraseSlot(int32_t slot);
  void GrowIndex();
  void RebuildIndex();
  std::vector<int32_t> RankOrder() const;
  // Puts the entries in rank order, renumbers the stamps by rank and rebuilds the index.
  void SortIntoRankOrder();

  // By handle. In rank order whenever ordered_ is set.
  std::vector<WordEntry> entries_;
  // When each entry last changed its key value or was created; breaks ties of key value.
  std::vector<uint64_t> stamps_;
  // The next entry that holds the same word (a plural merge can give two entries one word).
  std::vector<int32_t> nextSame_;
  std::vector<Slot> slots_;
  int32_t usedSlots_ = 0;
  uint64_t clock_ = 0;
  bool ordered_ = true;
  mutable std::vector<WordEntry> ranked_;
  mutable bool rankedValid_ = false;
  // Scratch for the filters, so that no call allocates.
  Text lowered_;
};

}  // namespace tw
