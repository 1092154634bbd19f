// The word table: one entry per distinct word with its key value (the sum of the weights of
// its occurrences), its frequency and whether it was first met in the title or a meta tag.
// Ranked by key value, highest first; among equal key values the entry that reached its
// value first comes first.
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/limits.hpp"
#include "core/options.hpp"
#include "scan/context.hpp"
#include "text/text.hpp"
#include "words/filters.hpp"

namespace tw {

class CommonWords;
class WordTable;

// An allocator for large arrays read at random: on Linux, arrays of a few megabytes and more
// are laid on huge pages, so that reading them costs fewer address translations. The memory
// comes as zeros, and an element made without a value is left as those zeros: the pages of a
// large array are then taken from the system only as they are written, along the way, not
// all at once when the array is made.
template <class T>
struct LargeArrayAllocator {
  using value_type = T;
  LargeArrayAllocator() = default;
  template <class U>
  explicit LargeArrayAllocator(const LargeArrayAllocator<U>& /*other*/) {}
  T* allocate(size_t n);
  void deallocate(T* p, size_t n);
  template <class U>
  void construct(U* /*p*/) noexcept {}
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    std::construct_at(p, std::forward<Args>(args)...);
  }
  bool operator==(const LargeArrayAllocator&) const = default;
};

enum class AddResult { Rejected, Counted, NewWord };

struct WordEntry {
  Text word;
  float keyValue = 0;
  int32_t frequency = 0;
  bool fromTitleOrMeta = false;

  bool operator==(const WordEntry&) const = default;
};

// The entries of a table in rank order (rank 1 first), read in place: each entry is made
// when it is looked at.
class RankedEntries {
 public:
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = WordEntry;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = WordEntry;

    Iterator() = default;
    Iterator(const RankedEntries* entries, size_t rank) : entries_(entries), rank_(rank) {}
    WordEntry operator*() const { return (*entries_)[rank_]; }
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
  WordEntry operator[](size_t rank) const;
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
  // both must stay as they are until the next Reset. `documentBytes`, the size of the
  // document to be scanned, sizes the index for the distinct words such a document holds,
  // so that it seldom grows during the scan.
  // `countAtOnce` keeps AddWordSoon from letting words wait, for a caller that looks at the
  // table after every word.
  void Reset(const ScanOptions& options, const CommonWords& commonWords, size_t documentBytes = 0,
             bool countAtOnce = false);

  // The filters, the plural merge, then the count, for a word as the scanner cuts it (one
  // byte per character of the code page). The caller (the scanner) keeps lngTotalWords;
  // this does not touch it. A new word is added as it was given.
  AddResult AddWord(std::string_view word, const OccurrenceContext& context);
  AddResult AddWord(std::string_view word, Occurrence occurrence);
  // The lengths of word that the scan's filters look at: AddWord rejects a shorter or longer
  // word at a glance, and nothing in the table changes. A copy lets another thread tell such
  // words without reading the table.
  struct WordLengths {
    size_t shortest = 0;
    size_t longest = static_cast<size_t>(intMaxWordLength);
    bool RejectsAtAGlance(std::string_view word) const {
      return word.size() < shortest || word.size() > longest;
    }
  };
  const WordLengths& wordLengths() const { return lengths_; }
  // The same for a scan that hands many words over: for a long document (see Reset) a word
  // is counted a few words later, while the places it will read in the table are fetched
  // from memory; a shorter document's table stays close enough in the caches for its words
  // to be counted at once, which is then faster. `counted` is told of each word counted:
  // counted(AddResult, std::string_view word). Flush counts the words still waiting; nothing may
  // look at the table or change it otherwise before.
  template <class Counted>
  void AddWordSoon(std::string_view word, const OccurrenceContext& context, Counted&& counted) {
    RequireScanFilters();
    AddWordSoon(word, OccurrenceOf(context, options_->weights), counted);
  }
  // The same with what the table keeps of the context, worked out with the scan's weights.
  template <class Counted>
  void AddWordSoon(std::string_view word, Occurrence occurrence, Counted&& counted) {
    AddSoon<false>(word, occurrence, counted);
  }
  // The same for the words `forEachWord(add)` hands to add(std::string_view word, Occurrence
  // occurrence), whose bytes stay where they are during the call: those that wait are not
  // copied, and all are counted before the call returns.
  template <class ForEachWord, class Counted>
  void AddWordsSoon(ForEachWord&& forEachWord, Counted&& counted) {
    forEachWord([this, &counted](std::string_view word, Occurrence occurrence) {
      AddSoon<true>(word, occurrence, counted);
    });
    Flush(counted);
  }
  template <class Counted>
  void Flush(Counted&& counted);
  // From this size of document on, AddWordSoon lets words wait (measured: slower at 5 MB,
  // even at 10 MB, faster at 20 MB).
  static constexpr size_t kWordsWaitFromBytes = size_t{8} << 20;
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

  // What the filters make of a word, worked out the first time the scan hands it over.
  enum class Verdict : uint8_t { Unknown, Rejected, Passed };
  // One distinct word that the table has met: its key, what the filters make of it, the
  // chain of entries holding it (in no particular order) and the words with one "s" more and
  // one final "s" less.
  //
  // A word's key is its characters as the bytes of the code page, which is how the scanner
  // hands a word over; a character the code page lacks, and the character 0, stand as a 0
  // byte and the two bytes of the character (words of the scan hold neither).
  //
  // The nodes are the slots of the hash index themselves (open addressing), so that finding
  // a word reads one place (a slot of zero bytes is empty: only `used` is read of it): its key of
  // eight bytes or less without a 0 byte stands in the node as one number, and only a longer key is
  // compared in keys_. A node's index changes when the index grows; everything that holds one is
  // renumbered then.
  struct Node {
    uint32_t hash = 0;
    uint32_t keyStart = 0;
    uint32_t keyLength : 27 = 0;
    uint32_t used : 1 = 0;
    Verdict verdict : 2 = Verdict::Unknown;
    // Whether the nodes of `singular` and `plural` hold an entry, so that a word whose
    // relatives hold none is counted without looking at them.
    uint32_t singularHeld : 1 = 0;
    uint32_t pluralHeld : 1 = 0;
    int32_t head = kNone;
    int32_t plural = kNone;
    int32_t singular = kNone;
    // The bytes of a short key (see KeyHash); 0 for any other key.
    uint64_t shortKey = 0;
  };
  static_assert(sizeof(Node) == 32, "two nodes to a cache line");
  struct Entry {
    float keyValue = 0;
    int32_t frequency = 0;
    // When the entry last changed its key value or was created; breaks ties of key value.
    uint32_t stamp = 0;
    int32_t node = kNone;
    int32_t nextSame = kNone;  // the next entry of the node's chain
    bool fromTitleOrMeta = false;
  };
  std::string_view KeyOf(const Node& n) const {
    return std::string_view(keys_).substr(n.keyStart, n.keyLength);
  }
  Text WordOf(const Entry& e) const;
  bool RanksBefore(int32_t a, int32_t b) const {
    const Entry& ea = entries_[static_cast<size_t>(a)];
    const Entry& eb = entries_[static_cast<size_t>(b)];
    return ea.keyValue > eb.keyValue || (ea.keyValue == eb.keyValue && ea.stamp < eb.stamp);
  }

  // What the index reads of a key: its hash, whether it holds a 0 byte, and its bytes as one
  // number when it has one to eight bytes and no 0 byte (0 otherwise), which tells it from
  // every other such key.
  struct KeyHash {
    uint32_t hash = 0;
    bool zero = false;
    uint64_t shortKey = 0;
  };
  static KeyHash HashKey(std::string_view key);
  // AddWord for a word of a length the filters let pass, with its key's hash.
  AddResult AddHashed(std::string_view word, KeyHash k, float weight, bool fromTitleOrMeta);
  bool RejectedAtAGlance(std::string_view word) const { return lengths_.RejectsAtAGlance(word); }
  // A word handed to AddWordSoon and not counted yet.
  struct Waiting {
    KeyHash k;
    float weight = 0;
    bool fromTitleOrMeta = false;
    uint8_t length = 0;
    // The node the word's entry was fetched for: where its relatives are found. The index
    // may have grown since, which makes it another node (only fetches rely on it).
    int32_t nearNode = kNone;
    // The word's bytes: the caller's own, or a copy in `bytes`.
    const char* at = nullptr;
    std::array<char, intMaxWordLength> bytes{};
    std::string_view word() const { return std::string_view(at, length); }
  };
  // How many words wait: enough for the node of the newest to arrive from memory before it
  // is counted; the entry of a word's node is fetched when half of them are left, once its
  // node has arrived.
  static constexpr size_t kWaitingWords = 16;
  static constexpr size_t kEntryFetchDistance = kWaitingWords / 2;
  // The entries of its singular and plural (for a word whose relatives hold one) are fetched
  // when a quarter are left, once the relatives' nodes have arrived.
  static constexpr size_t kRelativeFetchDistance = kWaitingWords / 4;
  // Takes a word into the queue (the queue has room) and fetches what the words in it will
  // read.
  // `lasting`: the word's bytes stay where they are while it waits (see AddWordsSoon).
  void Wait(std::string_view word, Occurrence occurrence, bool lasting);
  template <bool kLasting, class Counted>
  void AddSoon(std::string_view word, Occurrence occurrence, Counted& counted);
  // Fetches the entry of the word's node, or for a word met for the first time the index
  // slots of its plural and singular; looks for the node among the first few of its probe
  // only, as this only fetches.
  void FetchCountPlaces(Waiting& w) const;
  void FetchRelativeEntries(const Waiting& w) const;
  // The node of the word among the first few of its probe, or kNone.
  int32_t NearNode(const KeyHash& k) const;
  void FetchEntryOf(int32_t node) const;
  static constexpr size_t kFetchProbes = 4;
  template <class Counted>
  void CountOldestWaiting(Counted& counted);
  // Words are added only after a Reset with the scan's filters.
  void RequireScanFilters() const {
    if (commonWords_ == nullptr) {
      throw std::logic_error("WordTable: a word added before Reset with the scan's filters");
    }
  }
  // The finishing steps and the ranking read a table whose words are all counted.
  void RequireNoWaitingWords() const {
    if (waiting_ != 0) throw std::logic_error("WordTable: words still wait to be counted");
  }
  // The node of a key, or kNone.
  int32_t FindNode(std::string_view key, const KeyHash& k) const;
  // The node of a key that has none yet, linked to its plural and singular nodes.
  int32_t AddNode(std::string_view key, const KeyHash& k);
  int32_t NodeOf(std::string_view key);
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
  // Tells the relatives of the node whether it holds an entry.
  void MarkHeld(int32_t node, bool held);
  void Unlink(int32_t entry);
  // The plural merge and the count of a word that passed the filters, by its node;
  // `shortened` tells that the word counted is the word without its final "s".
  AddResult Count(int32_t node, float weight, bool fromTitleOrMeta, bool& shortened);
  // What the filters make of a word the scanner hands over, kept in the node of its key
  // (made when it has none).
  Verdict Judge(std::string_view word, std::string_view key, int32_t& node, const KeyHash& k);
  // The next stamp; when the stamps run out they are numbered anew in rank order.
  uint32_t NextStamp() {
    if (clock_ == kLastStamp) RenumberStamps();
    return clock_++;
  }
  void RenumberStamps();
  void CountOccurrence(int32_t entry, float weight) {
    Entry& e = entries_[static_cast<size_t>(entry)];
    if (e.frequency < kMaxFrequency) ++e.frequency;
    const float value = e.keyValue + weight;
    // An occurrence that leaves the key value as it was moves nothing.
    if (value != e.keyValue) {
      e.keyValue = value;
      e.stamp = NextStamp();
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
  void FetchNodeOf(const Entry& e) const;
  // Puts `ranked` in place of the entries, with stamps that follow its order and the chains
  // made anew. Every entry of `ranked` is an entry of the table, linked to its node; the
  // entries left out are linked to the nodes `leftOut` lists or unlinked already.
  void ReplaceEntries(std::vector<Entry> ranked, const std::vector<int32_t>& leftOut);
  void MakeOrder() const;
  // The entries that `keep` keeps, in rank order.
  template <class Keep>
  void SortByRank(Keep keep, std::vector<int32_t>& order) const;

  std::vector<Entry> entries_;
  using NodeArray = std::vector<Node, LargeArrayAllocator<Node>>;
  NodeArray nodes_;  // the hash index; a power of two in size
  // The keys of the nodes side by side.
  std::string keys_;
  size_t usedNodes_ = 0;
  // The size the index takes when it first grows: enough for the document scanned.
  size_t expectedSlots_ = 0;
  static constexpr uint32_t kLastStamp = UINT32_MAX;
  uint32_t clock_ = 0;
  // entries_ stands in rank order.
  bool entriesRanked_ = true;
  // The rank order when entries_ does not stand in it.
  mutable std::vector<int32_t> order_;
  mutable bool orderValid_ = false;
  // The scan's filters.
  const ScanOptions* options_ = nullptr;
  const CommonWords* commonWords_ = nullptr;
  WordLengths lengths_;
  // Scratch for the filters and the keys, so that no call allocates.
  FilterScratch scratch_;
  std::string key_;
  // The words waiting to be counted, a ring: the oldest at firstWaiting_.
  std::array<Waiting, kWaitingWords> waitingWords_{};
  size_t firstWaiting_ = 0;
  size_t waiting_ = 0;
  // Whether AddWordSoon lets words wait: the document is long enough for its table to
  // outgrow the cache.
  bool wordsWait_ = false;
};

template <bool kLasting, class Counted>
void WordTable::AddSoon(std::string_view word, Occurrence occurrence, Counted& counted) {
  if (!wordsWait_) {
    counted(AddWord(word, occurrence), word);
    return;
  }
  if (waiting_ == kWaitingWords) CountOldestWaiting(counted);
  Wait(word, occurrence, kLasting);
}

template <class Counted>
void WordTable::Flush(Counted&& counted) {
  while (waiting_ != 0)
    CountOldestWaiting(counted);
}

template <class Counted>
void WordTable::CountOldestWaiting(Counted& counted) {
  const Waiting& oldest = waitingWords_[firstWaiting_];
  firstWaiting_ = (firstWaiting_ + 1) % kWaitingWords;
  --waiting_;
  // The slot is not reused before the next word comes.
  counted(AddHashed(oldest.word(), oldest.k, oldest.weight, oldest.fromTitleOrMeta), oldest.word());
}

}  // namespace tw
