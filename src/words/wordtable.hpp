// The word table: one entry per distinct word with its key value (the sum of the weights of
// its occurrences), its frequency and whether it was first met in the title or a meta tag.
// Ranked by key value, highest first; among equal key values the entry that reached its
// value first comes first.
#pragma once

#include <cstdint>
#include <vector>

#include "core/options.hpp"
#include "scan/context.hpp"
#include "text/text.hpp"
#include "words/filters.hpp"

namespace tw {

class CommonWords;

// The weight of one occurrence in that context under those weights.
float OccurrenceWeight(const OccurrenceContext& context, const ContextWeights& weights);

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
                    const ScanOptions& options, const CommonWords& commonWords);
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
  // False when no entry's word is the word of this hash (HashWord) followed by "s"; true
  // when one may be.
  bool MayHoldPluralOf(uint32_t wordHash) const;
  // Whether entry a stands before entry b in rank order.
  bool RanksBefore(int32_t a, int32_t b) const;
  WordEntry Entry(int32_t handle) const;
  // Gives an entry another word; its key value, frequency, flag and rank stay.
  void RenameEntry(int32_t handle, TextView word);

 private:
  // One distinct word: its hash and the first entry of the chain of entries that hold it.
  struct Slot {
    uint32_t hash = 0;
    int32_t head = kNoEntry;
  };
  // What counting changes and what a look-up compares, kept apart from the words so that it
  // stays small.
  struct Counts {
    float keyValue = 0;
    int32_t frequency = 0;
    // When the entry last changed its key value or was created; breaks ties of key value.
    uint64_t stamp = 0;
    // Where the entry's word stands in keys_.
    uint32_t keyStart = 0;
    uint32_t keyLength = 0;
    // The next entry that holds the same word (a plural merge can give two entries one word).
    int32_t nextSame = kNoEntry;
  };

  // The slot of `head` followed by `last` (none when null), or the free slot where it would go.
  int32_t FindSlot(TextView head, const char16_t* last, uint32_t hash) const;
  int32_t FindFirstEntryHashed(TextView head, const char16_t* last, uint32_t hash) const;
  AddResult Count(Text& word, float weight, bool fromTitleOrMeta, bool hashKnown, uint32_t hash);
  void IndexInsert(int32_t handle);
  void IndexInsertHashed(int32_t handle, uint32_t hash);
  void IndexRemove(int32_t handle);
  void EraseSlot(int32_t slot);
  void GrowIndex();
  void RebuildIndex();
  std::vector<int32_t> RankOrder() const;
  // The entries in rank order with their counts; the table is left empty until Assign.
  std::vector<WordEntry> TakeRanked();
  // Makes these entries, in this order, the table; stamps follow the order.
  void Assign(std::vector<WordEntry> ranked);

  // By handle: the word and flag (key value and frequency are current in counts_ only).
  std::vector<WordEntry> entries_;
  std::vector<Counts> counts_;
  std::vector<Slot> slots_;
  // The characters of the indexed words side by side, so that a look-up touches one place.
  Text keys_;
  // One bit per hash of a word that some entry holds followed by "s" (never cleared before
  // the index is rebuilt), so that most plural look-ups need no probe.
  std::vector<uint64_t> pluralStems_;
  int32_t usedSlots_ = 0;
  uint64_t clock_ = 0;
  // entries_ is in rank order and its key values and frequencies are those of counts_.
  bool entriesRanked_ = true;
  mutable std::vector<WordEntry> ranked_;
  mutable bool rankedValid_ = false;
  // Scratch for the filters and the plural look-up, so that no call allocates.
  FilterScratch scratch_;
  mutable Text joined_;
};

}  // namespace tw
