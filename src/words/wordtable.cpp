// The word table: counting, ranking and the finishing steps after a scan.
//
// Rank order is "key value descending, then the moment the entry last changed its key value
// (or was created) ascending": exactly the order that one insertion step after every change
// keeps, since a rising entry goes after every entry of greater or equal value. So during a
// scan the entries stay where they were created, each with the stamp of its last change, and
// a hash index finds them by word; the ranked order is built only when it is asked for.
#include "words/wordtable.hpp"

#include <algorithm>
#include <iterator>
#include <limits>
#include <numeric>
#include <set>
#include <unordered_map>

#include "text/chars.hpp"
#include "words/filters.hpp"
#include "words/wordhash.hpp"

namespace tw {

namespace {

constexpr size_t kInitialSlots = 1024;
constexpr size_t kPluralStemBits = size_t{1} << 16;
constexpr size_t kBitsPerWord = 64;
constexpr double kTopKeyValue = 100.0;
constexpr int32_t kMinCaseMergeLength = 3;

// The part of a word that two case variants share: the first character lowered, the rest
// as it stands. Two words differ at most in the case of their first letter exactly when
// their keys are equal.
Text CaseMergeKey(TextView word) {
  Text key(word);
  if (!key.empty()) key[0] = LowerChar(key[0]);
  return key;
}

// Only the first letter of such a word may be upper case.
bool IsCaseMergeCandidate(TextView word) {
  if (static_cast<int32_t>(word.size()) < kMinCaseMergeLength) return false;
  return std::all_of(word.begin() + 1, word.end(), [](char16_t c) { return LowerChar(c) == c; });
}

}  // namespace

float OccurrenceWeight(const OccurrenceContext& context, const ContextWeights& weights) {
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

WordTable::WordTable() {
  Reset();
}

void WordTable::Reset() {
  entries_.clear();
  entries_.reserve(kInitialWordTableCapacity);
  counts_.clear();
  counts_.reserve(kInitialWordTableCapacity);
  slots_.assign(kInitialSlots, Slot{});
  keys_.clear();
  pluralStems_.assign(kPluralStemBits / kBitsPerWord, 0);
  usedSlots_ = 0;
  clock_ = 0;
  entriesRanked_ = true;
  ranked_.clear();
  rankedValid_ = false;
  lngTotalWords = 0;
}

// ---- The hash index: word -> chain of entries holding that word ----

int32_t WordTable::FindSlot(TextView head, const char16_t* last, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  const size_t length = head.size() + (last != nullptr ? 1 : 0);
  const Slot* slots = slots_.data();
  for (size_t p = hash & mask;; p = (p + 1) & mask) {
    const Slot& slot = slots[p];
    if (slot.head == kNoEntry) return static_cast<int32_t>(p);
    if (slot.hash != hash) continue;
    const Counts& counts = counts_[slot.head];
    if (counts.keyLength != length) continue;
    // Words are short: a plain loop beats a call to the library's memory comparison.
    const char16_t* key = keys_.data() + counts.keyStart;
    size_t k = 0;
    while (k < head.size() && key[k] == head[k])
      ++k;
    if (k == head.size() && (last == nullptr || key[k] == *last)) return static_cast<int32_t>(p);
  }
}

void WordTable::GrowIndex() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.size() * 2, Slot{});
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.head == kNoEntry) continue;
    size_t p = slot.hash & mask;
    while (slots_[p].head != kNoEntry)
      p = (p + 1) & mask;
    slots_[p] = slot;
  }
}

void WordTable::IndexInsert(int32_t handle) {
  IndexInsertHashed(handle, HashWord(entries_[handle].word));
}

void WordTable::IndexInsertHashed(int32_t handle, uint32_t hash) {
  // Keep the load at one half at most.
  if (static_cast<size_t>(usedSlots_ + 1) * 2 > slots_.size()) GrowIndex();
  const Text& word = entries_[handle].word;
  if (word.size() > 1 && word.back() == u's') {
    const size_t bit = HashWord(TextView(word).substr(0, word.size() - 1)) % kPluralStemBits;
    pluralStems_[bit / kBitsPerWord] |= uint64_t{1} << (bit % kBitsPerWord);
  }
  Slot& slot = slots_[FindSlot(word, nullptr, hash)];
  Counts& counts = counts_[handle];
  if (slot.head == kNoEntry) {
    slot = Slot{hash, handle};
    counts.keyStart = static_cast<uint32_t>(keys_.size());
    counts.keyLength = static_cast<uint32_t>(word.size());
    counts.nextSame = kNoEntry;
    keys_.append(word);
    ++usedSlots_;
  } else {
    counts.keyStart = counts_[slot.head].keyStart;
    counts.keyLength = counts_[slot.head].keyLength;
    counts.nextSame = slot.head;
    slot.head = handle;
  }
}

void WordTable::EraseSlot(int32_t slot) {
  // Backward-shift deletion keeps every probe sequence unbroken.
  const size_t mask = slots_.size() - 1;
  size_t hole = static_cast<size_t>(slot);
  size_t q = hole;
  while (true) {
    q = (q + 1) & mask;
    if (slots_[q].head == kNoEntry) break;
    const size_t ideal = slots_[q].hash & mask;
    // The word at q may fill the hole unless its ideal slot lies cyclically in (hole, q].
    const bool staysPut = (hole <= q) ? (ideal > hole && ideal <= q) : (ideal > hole || ideal <= q);
    if (!staysPut) {
      slots_[hole] = slots_[q];
      hole = q;
    }
  }
  slots_[hole] = Slot{};
  --usedSlots_;
}

void WordTable::IndexRemove(int32_t handle) {
  const Text& word = entries_[handle].word;
  const int32_t p = FindSlot(word, nullptr, HashWord(word));
  Slot& slot = slots_[p];
  if (slot.head == kNoEntry) return;
  if (slot.head == handle) {
    if (counts_[handle].nextSame == kNoEntry) {
      EraseSlot(p);
    } else {
      slot.head = counts_[handle].nextSame;
    }
  } else {
    int32_t h = slot.head;
    while (counts_[h].nextSame != kNoEntry && counts_[h].nextSame != handle) {
      h = counts_[h].nextSame;
    }
    if (counts_[h].nextSame == handle) counts_[h].nextSame = counts_[handle].nextSame;
  }
  counts_[handle].nextSame = kNoEntry;
}

void WordTable::RebuildIndex() {
  size_t size = kInitialSlots;
  while (size < entries_.size() * 2 + 2)
    size *= 2;
  slots_.assign(size, Slot{});
  keys_.clear();
  pluralStems_.assign(kPluralStemBits / kBitsPerWord, 0);
  usedSlots_ = 0;
  for (int32_t h = 0; h < intNumWords(); ++h)
    IndexInsert(h);
}

int32_t WordTable::FindFirstEntry(TextView head, TextView tail) const {
  if (tail.size() > 1) {
    joined_.assign(head);
    joined_.append(tail);
    return FindFirstEntryHashed(joined_, nullptr, HashWord(joined_));
  }
  const char16_t* last = tail.empty() ? nullptr : tail.data();
  return FindFirstEntryHashed(head, last, HashWord(head, last));
}

int32_t WordTable::FindFirstEntryHashed(TextView head, const char16_t* last, uint32_t hash) const {
  int32_t best = slots_[FindSlot(head, last, hash)].head;
  if (best == kNoEntry) return best;
  for (int32_t h = counts_[best].nextSame; h != kNoEntry; h = counts_[h].nextSame) {
    if (RanksBefore(h, best)) best = h;
  }
  return best;
}

bool WordTable::MayHoldPluralOf(uint32_t wordHash) const {
  const size_t bit = wordHash % kPluralStemBits;
  return (pluralStems_[bit / kBitsPerWord] >> (bit % kBitsPerWord)) & 1;
}

bool WordTable::RanksBefore(int32_t a, int32_t b) const {
  const Counts& ca = counts_[a];
  const Counts& cb = counts_[b];
  return ca.keyValue > cb.keyValue || (ca.keyValue == cb.keyValue && ca.stamp < cb.stamp);
}

WordEntry WordTable::Entry(int32_t handle) const {
  const WordEntry& e = entries_[handle];
  return WordEntry{e.word, counts_[handle].keyValue, counts_[handle].frequency, e.fromTitleOrMeta};
}

void WordTable::RenameEntry(int32_t handle, TextView word) {
  IndexRemove(handle);
  entries_[handle].word.assign(word);
  IndexInsert(handle);
  rankedValid_ = false;
}

// ---- Counting ----

AddResult WordTable::AddWord(Text& strCurrentWord, const OccurrenceContext& context,
                             const ScanOptions& options, const CommonWords& commonWords) {
  if (RejectingFilter(strCurrentWord, options, commonWords, scratch_) != WordFilter::None) {
    return AddResult::Rejected;
  }
  const bool fromTitleOrMeta =
      context.blnInTitle || context.blnInDescription || context.blnInExistingKeywords;
  // Most words are their own lower-cased form, whose hash the common-word test has made.
  const bool hashKnown = scratch_.hashed && scratch_.lowered() == strCurrentWord;
  return Count(strCurrentWord, OccurrenceWeight(context, options.weights), fromTitleOrMeta,
               hashKnown, scratch_.loweredHash);
}

AddResult WordTable::CountWord(Text& strCurrentWord, float weight, bool fromTitleOrMeta) {
  return Count(strCurrentWord, weight, fromTitleOrMeta, false, 0);
}

AddResult WordTable::Count(Text& strCurrentWord, float weight, bool fromTitleOrMeta, bool hashKnown,
                           uint32_t hash) {
  if (!hashKnown) hash = HashWord(strCurrentWord);
  const size_t length = strCurrentWord.size();
  MergePlural(strCurrentWord, hash, *this);
  if (strCurrentWord.size() != length) hash = HashWord(strCurrentWord);
  rankedValid_ = false;
  const int32_t found = FindFirstEntryHashed(strCurrentWord, nullptr, hash);
  if (found != kNoEntry) {
    Counts& counts = counts_[found];
    if (counts.frequency < std::numeric_limits<int32_t>::max()) ++counts.frequency;
    const float value = counts.keyValue + weight;
    // An occurrence that leaves the key value as it was moves nothing.
    if (value != counts.keyValue) {
      counts.keyValue = value;
      counts.stamp = clock_++;
    }
    entriesRanked_ = false;
    return AddResult::Counted;
  }
  const auto handle = static_cast<int32_t>(entries_.size());
  if (entries_.size() == entries_.capacity()) {
    entries_.reserve(entries_.size() + kInitialWordTableCapacity);
    counts_.reserve(entries_.capacity());
  }
  entries_.push_back(WordEntry{strCurrentWord, weight, 1, fromTitleOrMeta});
  counts_.push_back(Counts{weight, 1, clock_++, 0, 0, kNoEntry});
  IndexInsertHashed(handle, hash);
  if (handle > 0 && counts_[handle - 1].keyValue < weight) entriesRanked_ = false;
  return AddResult::NewWord;
}

// ---- Rank order ----

std::vector<int32_t> WordTable::RankOrder() const {
  std::vector<int32_t> order(entries_.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [this](int32_t a, int32_t b) { return RanksBefore(a, b); });
  return order;
}

const std::vector<WordEntry>& WordTable::Ranked() const {
  if (entriesRanked_) return entries_;
  if (!rankedValid_) {
    ranked_.clear();
    ranked_.reserve(entries_.size());
    for (int32_t h : RankOrder())
      ranked_.push_back(Entry(h));
    rankedValid_ = true;
  }
  return ranked_;
}

std::vector<WordEntry> WordTable::TakeRanked() {
  std::vector<WordEntry> ranked;
  ranked.reserve(std::max<size_t>(entries_.size(), kInitialWordTableCapacity));
  for (int32_t h : RankOrder()) {
    WordEntry& e = entries_[h];
    ranked.push_back(
        WordEntry{std::move(e.word), counts_[h].keyValue, counts_[h].frequency, e.fromTitleOrMeta});
  }
  entries_.clear();
  counts_.clear();
  return ranked;
}

void WordTable::Assign(std::vector<WordEntry> ranked) {
  entries_ = std::move(ranked);
  counts_.clear();
  counts_.reserve(entries_.capacity());
  for (size_t k = 0; k < entries_.size(); ++k) {
    counts_.push_back(Counts{entries_[k].keyValue, entries_[k].frequency, k, 0, 0, kNoEntry});
  }
  clock_ = entries_.size();
  entriesRanked_ = true;
  ranked_.clear();
  rankedValid_ = false;
  RebuildIndex();
}

// ---- Finishing steps ----

void WordTable::ApplyMinFrequency(int32_t minFrequency) {
  std::vector<WordEntry> ranked = TakeRanked();
  if (minFrequency > 1) {
    std::erase_if(ranked, [minFrequency](const WordEntry& e) {
      return e.frequency < minFrequency && !e.fromTitleOrMeta;
    });
  }
  Assign(std::move(ranked));
}

void WordTable::MergeCaseVariants() {
  std::vector<WordEntry> entries = TakeRanked();
  const auto n = static_cast<int32_t>(entries.size());
  if (n < 2) {
    Assign(std::move(entries));
    return;
  }
  // Ties of key value are broken by the moment of the last change, as while counting.
  std::vector<uint64_t> stamps(entries.size());
  std::iota(stamps.begin(), stamps.end(), uint64_t{0});
  uint64_t clock = stamps.size();

  struct RankKey {
    float value;
    uint64_t stamp;
    int32_t handle;
  };
  struct RankLess {
    bool operator()(const RankKey& a, const RankKey& b) const {
      return a.value > b.value || (a.value == b.value && a.stamp < b.stamp);
    }
  };
  const RankLess less;
  auto keyOf = [&](int32_t h) { return RankKey{entries[h].keyValue, stamps[h], h}; };

  // The table as it stands, position by position, and the entries by their shared form.
  std::set<RankKey, RankLess> order;
  std::unordered_map<Text, std::vector<int32_t>> variants;
  for (int32_t h = 0; h < n; ++h) {
    order.insert(order.end(), keyOf(h));
    variants[CaseMergeKey(entries[h].word)].push_back(h);
  }
  auto forget = [&variants](const Text& key, int32_t h) {
    auto it = variants.find(key);
    if (it != variants.end()) std::erase(it->second, h);
  };

  // Position i walks the table once; `atI` is the entry that stands there now. The merges
  // at i look only at entries after it: those never move during that pass, they only
  // disappear, so "the next position" after a merged entry d is the entry after d's
  // successor (the successor itself moves into d's place and is passed over).
  auto atI = order.begin();
  for (int32_t i = 1; i <= n - 1 && atI != order.end(); ++i) {
    int32_t target = atI->handle;
    if (IsCaseMergeCandidate(entries[target].word)) {
      RankKey boundary = *atI;  // the entries looked at rank after this one
      while (true) {
        const Text key = CaseMergeKey(entries[target].word);
        int32_t found = kNoEntry;
        if (auto it = variants.find(key); it != variants.end()) {
          for (int32_t h : it->second) {
            if (less(boundary, keyOf(h)) && (found == kNoEntry || less(keyOf(h), keyOf(found)))) {
              found = h;
            }
          }
        }
        if (found == kNoEntry) break;

        const auto foundAt = order.find(keyOf(found));
        const auto successor = std::next(foundAt);
        const bool more = successor != order.end();
        const RankKey nextBoundary = more ? *successor : RankKey{};

        // Merge the entry into the one at position i and remove it.
        WordEntry& merged = entries[target];
        merged.frequency += entries[found].frequency;
        const float value = merged.keyValue + entries[found].keyValue;
        order.erase(foundAt);
        forget(CaseMergeKey(entries[found].word), found);

        // The word at position i takes its lower-cased form.
        Text lowered = ToLowerGeneral(merged.word);
        if (lowered != merged.word) {
          forget(key, target);
          variants[CaseMergeKey(lowered)].push_back(target);
          merged.word = std::move(lowered);
        }

        // One insertion step: the entry moves up past every entry of lower value; the one
        // that stood before it then stands at position i.
        if (value != merged.keyValue) {
          const auto targetAt = order.find(keyOf(target));
          int32_t before = kNoEntry;
          if (targetAt != order.begin()) {
            const auto previous = std::prev(targetAt);
            if (previous->value < value) before = previous->handle;
          }
          order.erase(targetAt);
          merged.keyValue = value;
          stamps[target] = clock++;
          order.insert(keyOf(target));
          if (before != kNoEntry) target = before;
        }
        if (!more) break;
        boundary = nextBoundary;
      }
    }
    atI = std::next(order.find(keyOf(target)));
  }

  std::vector<WordEntry> result;
  result.reserve(std::max<size_t>(order.size(), kInitialWordTableCapacity));
  for (const RankKey& key : order)
    result.push_back(std::move(entries[key.handle]));
  Assign(std::move(result));
}

void WordTable::NormaliseKeyValues() {
  std::vector<WordEntry> ranked = TakeRanked();
  float highest = 0;
  for (const WordEntry& e : ranked)
    highest = std::max(highest, e.keyValue);
  if (highest > 0) {
    for (WordEntry& e : ranked) {
      e.keyValue = static_cast<float>(static_cast<double>(e.keyValue) * kTopKeyValue /
                                      static_cast<double>(highest));
    }
  }
  Assign(std::move(ranked));
}

}  // namespace tw
