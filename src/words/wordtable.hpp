// The word table: one entry per distinct word with its key value (the sum of the weights of
// its occurrences), its frequency and whether it was first met in the title or a meta tag.
// Ranked by key value, highest first; among equal key values the entry that reached its
// value first comes first.
#pragma once

#include <climits>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "core/options.hpp"
#include "scan/context.hpp"
#include "text/text.hpp"
#include "words/filters.hpp"

namespace tw {

class CommonWords;
class WordTable;

// The weight of one occurrence in that context under those weights.
inline float OccurrenceWeight(const OccurrenceContext& context, const ContextWeights& weights) {
  if (context.blnInTitle) return static_cast<float>(weights.title);
  if (context.blnInDescription) return static_cast<float>(weights.description);
  if (context.blnInExistingKeywords) return static_cast<float>(weights.existingKeywords);
  int32_t weight = context.intFontSize + context.intHeadingWeight;
  if (context.blnBold) weight += weights.bold;
  if (context.blnItalic) weight += weights.italic;
  if (context.intTableDepth > 0) weight += weights.table;
  if (context.intDivDepth > 0) weight += weights.div;
  if (context.intSpanDepth > 0) weight += weights.span;
  return static_cast<float>(weight);
}

enum class AddResult { Rejected, Counted, NewWord };

struct WordEntry {
  Text word;
  float keyValue = 0;
  int32_t frequency = 0;
  bool fromTitleOrMeta = false;

  bool operator==(const WordEntry&) const = default;
};

// An entry as the table holds it; the word is valid while the table is not changed.
struct RankedEntry {
  TextView word;
  float keyValue = 0;
  int32_t frequency = 0;
  bool fromTitleOrMeta = false;

  operator WordEntry() const {  // NOLINT: an entry converts to its copy
    return WordEntry{Text(word), keyValue, frequency, fromTitleOrMeta};
  }
  bool operator==(const WordEntry& e) const {
    return word == e.word && keyValue == e.keyValue && frequency == e.frequency &&
           fromTitleOrMeta == e.fromTitleOrMeta;
  }
};

// The entries of a table in rank order (rank 1 first), read in place.
class RankedEntries {
 public:
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = RankedEntry;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = RankedEntry;

    Iterator() = default;
    Iterator(const RankedEntries* entries, size_t rank) : entries_(entries), rank_(rank) {}
    RankedEntry operator*() const { return (*entries_)[rank_]; }
    Iterator& operator++() {
      ++rank_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++rank_;
      return before;
    }
    bool operator==(const Iterator& other) const { return rank_ == other.rank_; }

   private:
    const RankedEntries* entries_ = nullptr;
    size_t rank_ = 0;
  };

  RankedEntries(const WordTable& table, const int32_t* order, size_t size)
      : table_(&table), order_(order), size_(size) {}
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  RankedEntry operator[](size_t rank) const;
  Iterator begin() const { return Iterator(this, 0); }
  Iterator end() const { return Iterator(this, size_); }

 private:
  const WordTable* table_;
  const int32_t* order_;  // the entry of each rank; none when the entries stand in rank order
  size_t size_;
};

class WordTable {
 public:
  WordTable();
  // Empty table, no words, lngTotalWords 0.
  void Reset();
  // The same for a scan whose words AddWord filters with these options and common words;
  // both must stay as they are until the next Reset.
  void Reset(const ScanOptions& options, const CommonWords& commonWords);

  // The filters, the plural merge, then the count, for a word as the scanner cuts it (one
  // byte per character of the code page). The caller (the scanner) keeps lngTotalWords;
  // this does not touch it. A new word is added as it was given.
  AddResult AddWord(std::string_view word, const OccurrenceContext& context);
  // The plural merge and the count alone, for a word that passed the filters. `word`
  // becomes the word counted: the plural merge may shorten it.
  AddResult CountWord(Text& word, float weight, bool fromTitleOrMeta);

  // The finishing steps, in this order after a scan that was not stopped. Each leaves the
  // table in rank order.
  void ApplyMinFrequency(int32_t minFrequency);
  void MergeCaseVariants();
  void NormaliseKeyValues();

  int32_t intNumWords() const { return static_cast<int32_t>(entries_.size()); }
  // The document's word count: every word handed over. Kept by the scanner.
  int64_t lngTotalWords = 0;

  // The entries in rank order. Valid at any time; cheap after the finishing steps, which put
  // the table in rank order once. The view is valid until the table changes.
  RankedEntries Ranked() const;

 private:
  friend class RankedEntries;
  static constexpr int32_t kNone = -1;
  static constexpr int32_t kMaxFrequency = INT32_MAX;

  // One distinct word that an entry holds or held: its key, the chain of entries holding it
  // (in no particular order) and the words with one "s" more and one final "s" less.
  struct Node {
    uint32_t hash = 0;
    uint32_t keyStart = 0;
    uint32_t keyLength = 0;
    int32_t head = kNone;
    int32_t plural = kNone;
    int32_t singular = kNone;
  };
  struct Entry {
    float keyValue = 0;
    int32_t frequency = 0;
    // When the entry last changed its key value or was created; breaks ties of key value.
    uint64_t stamp = 0;
    int32_t node = kNone;
    int32_t nextSame = kNone;  // the next entry of the node's chain
    bool fromTitleOrMeta = false;
  };
  struct Slot {
    uint32_t hash = 0;
    int32_t node = kNone;
  };
  // A word as the scanner hands it over, with what the filters made of it: rejected, or the
  // node of the word it is.
  static constexpr int32_t kRejected = -2;
  struct ByteSlot {
    uint64_t head = 0;  // the word's first bytes, which tell short words apart
    uint32_t hash = 0;
    int32_t verdict = kNone;  // kNone: a free slot
    uint32_t keyStart = 0;    // the rest of a longer word, in byteKeys_
    uint32_t keyLength = 0;
  };

  TextView WordOf(const Entry& e) const { return KeyOf(nodes_[e.node]); }
  TextView KeyOf(const Node& n) const { return TextView(keys_).substr(n.keyStart, n.keyLength); }
  bool RanksBefore(int32_t a, int32_t b) const {
    const Entry& ea = entries_[a];
    const Entry& eb = entries_[b];
    return ea.keyValue > eb.keyValue || (ea.keyValue == eb.keyValue && ea.stamp < eb.stamp);
  }

  // The node of `head` followed by `last` (none when null), or kNone.
  int32_t FindNode(TextView head, const char16_t* last, uint32_t hash) const;
  int32_t FindNode(TextView word, uint32_t hash) const { return FindNode(word, nullptr, hash); }
  // The node of a word that has none yet, linked to its plural and singular nodes.
  int32_t AddNode(TextView word, uint32_t hash);
  void GrowIndex();
  // The entry of the node's chain that ranks first; kNone for none (or no node).
  int32_t FirstOfChain(int32_t node) const {
    if (node == kNone) return kNone;
    const int32_t head = nodes_[static_cast<size_t>(node)].head;
    if (head == kNone || entries_[static_cast<size_t>(head)].nextSame == kNone) return head;
    return FirstOfLongerChain(head);
  }
  int32_t FirstOfLongerChain(int32_t head) const;
  void Link(int32_t entry, int32_t node);
  void Unlink(int32_t entry);
  // The node of a word, made when there is none.
  int32_t NodeOf(TextView word, uint32_t hash);
  // The plural merge and the count of a word that passed the filters, by its node;
  // `shortened` tells that the word counted is the word without its final "s".
  AddResult Count(int32_t node, float weight, bool fromTitleOrMeta, bool& shortened);
  // What the filters make of a word the scanner hands over that was not met before; it is
  // kept in `slot`, the free slot where the look-up ended.
  int32_t AddVerdict(std::string_view word, uint64_t head, uint32_t hash, size_t slot);
  void CountOccurrence(int32_t entry, float weight) {
    Entry& e = entries_[static_cast<size_t>(entry)];
    if (e.frequency < kMaxFrequency) ++e.frequency;
    const float value = e.keyValue + weight;
    // An occurrence that leaves the key value as it was moves nothing.
    if (value != e.keyValue) {
      e.keyValue = value;
      e.stamp = clock_++;
    }
    entriesRanked_ = false;
    orderValid_ = false;
  }
  // The plural entry takes the word of the node and is counted.
  AddResult RenameAndCount(int32_t plural, int32_t node, float weight);
  AddResult AddEntry(int32_t node, float weight, bool fromTitleOrMeta);
  // The entries in rank order, those that `keep` refuses left out, with stamps that follow
  // the order; the chains are made anew.
  template <class Keep>
  void PutInRankOrder(Keep keep);
  void MakeOrder() const;

  std::vector<Entry> entries_;
  std::vector<Node> nodes_;
  std::vector<Slot> slots_;
  // The characters of the words side by side, so that a look-up touches one place.
  Text keys_;
  size_t usedSlots_ = 0;
  uint64_t clock_ = 0;
  // entries_ stands in rank order.
  bool entriesRanked_ = true;
  // The rank order when entries_ does not stand in it.
  mutable std::vector<int32_t> order_;
  mutable bool orderValid_ = false;
  // The scan's filters, and what they made of every word met so far.
  const ScanOptions* options_ = nullptr;
  const CommonWords* commonWords_ = nullptr;
  size_t shortestWord_ = 0;  // words shorter than this are short words
  std::vector<ByteSlot> byteSlots_;
  std::string byteKeys_;
  size_t usedByteSlots_ = 0;
  // Scratch for the filters and the words, so that no call allocates.
  FilterScratch scratch_;
  Text word_;
};

}  // namespace tw
