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

float OccurrenceWeight(const OccurrenceContext& context, const AnalysisSettings& settings) {
  if (context.blnInTitle) return static_cast<float>(settings.TitleWeight());
  if (context.blnInDescription) return static_cast<float>(settings.DescriptionWeight());
  if (context.blnInExistingKeywords) {
    return static_cast<float>(settings.ExistingKeywordsWeight());
  }
  int32_t weight = context.intFontSize + context.intHeadingWeight;
  if (context.blnBold) weight += settings.BoldWeight();
  if (context.blnItalic) weight += settings.ItalicWeight();
  if (context.intTableDepth > 0) weight += settings.TableWeight();
  if (context.intDivDepth > 0) weight += settings.DivWeight();
  if (context.intSpanDepth > 0) weight += settings.SpanWeight();
  return static_cast<float>(weight);
}

WordTable::WordTable() {
  Reset();
}

void WordTable::Reset() {
  entries_.clear();
  entries_.reserve(kInitialWordTableCapacity);
  stamps_.clear();
  nextSame_.clear();
  slots_.assign(kInitialSlots, Slot{});
  usedSlots_ = 0;
  clock_ = 0;
  ordered_ = true;
  ranked_.clear();
  rankedValid_ = false;
  lngTotalWords = 0;
}

// ---- The hash index: word -> chain of entries holding that word ----

int32_t WordTable::FindSlot(TextView head, TextView tail, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  size_t p = hash & mask;
  while (slots_[p].head != kNoEntry) {
    if (slots_[p].hash == hash && EqualsJoined(entries_[slots_[p].head].word, head, tail)) break;
    p = (p + 1) & mask;
  }
  return static_cast<int32_t>(p);
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
  // Keep the load at one half at most.
  if (static_cast<size_t>(usedSlots_ + 1) * 2 > slots_.size()) GrowIndex();
  const Text& word = entries_[handle].word;
  const uint32_t hash = HashWord(word);
  const int32_t p = FindSlot(word, {}, hash);
  if (slots_[p].head == kNoEntry) {
    slots_[p] = Slot{hash, handle};
    nextSame_[handle] = kNoEntry;
    ++usedSlots_;
  } else {
    nextSame_[handle] = slots_[p].head;
    slots_[p].head = handle;
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
    // The entry at q may fill the hole unless its ideal slot lies cyclically in (hole, q].
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
  const int32_t p = FindSlot(word, {}, HashWord(word));
  if (slots_[p].head == kNoEntry) return;
  if (slots_[p].head == handle) {
    if (nextSame_[handle] == kNoEntry) {
      EraseSlot(p);
    } else {
      slots_[p].head = nextSame_[handle];
    }
  } else {
    int32_t h = slots_[p].head;
    while (nextSame_[h] != kNoEntry && nextSame_[h] != handle)
      h = nextSame_[h];
    if (nextSame_[h] == handle) nextSame_[h] = nextSame_[handle];
  }
  nextSame_[handle] = kNoEntry;
}

void WordTable::RebuildIndex() {
  size_t size = kInitialSlots;
  while (size < entries_.size() * 2 + 2)
    size *= 2;
  slots_.assign(size, Slot{});
  usedSlots_ = 0;
  nextSame_.assign(entries_.size(), kNoEntry);
  for (int32_t h = 0; h < intNumWords(); ++h)
    IndexInsert(h);
}

int32_t WordTable::FindFirstEntry(TextView head, TextView tail) const {
  const int32_t p = FindSlot(head, tail, HashWord(head, tail));
  int32_t best = slots_[p].head;
  if (best == kNoEntry) return kNoEntry;
  for (int32_t h = nextSame_[best]; h != kNoEntry; h = nextSame_[h]) {
    if (RanksBefore(h, best)) best = h;
  }
  return best;
}

bool WordTable::RanksBefore(int32_t a, int32_t b) const {
  const float va = entries_[a].keyValue;
  const float vb = entries_[b].keyValue;
  return va > vb || (va == vb && stamps_[a] < stamps_[b]);
}

void WordTable::RenameEntry(int32_t handle, TextView word) {
  IndexRemove(handle);
  entries_[handle].word.assign(word);
  IndexInsert(handle);
  rankedValid_ = false;
}

// ---- Counting ----

AddResult WordTable::AddWord(Text& strCurrentWord, const OccurrenceContext& context,
                             const AnalysisSettings& settings, const CommonWords& commonWords) {
  if (RejectingFilter(strCurrentWord, settings, commonWords, lowered_) != WordFilter::None) {
    return AddResult::Rejected;
  }
  const bool fromTitleOrMeta =
      context.blnInTitle || context.blnInDescription || context.blnInExistingKeywords;
  return CountWord(strCurrentWord, OccurrenceWeight(context, settings), fromTitleOrMeta);
}

AddResult WordTable::CountWord(Text& strCurrentWord, float weight, bool fromTitleOrMeta) {
  MergePlural(strCurrentWord, *this);
  rankedValid_ = false;
  const int32_t found = FindFirstEntry(strCurrentWord);
  if (found != kNoEntry) {
    WordEntry& entry = entries_[found];
    if (entry.frequency < std::numeric_limits<int32_t>::max()) ++entry.frequency;
    const float value = entry.keyValue + weight;
    // An occurrence that leaves the key value as it was moves nothing.
    if (value != entry.keyValue) {
      entry.keyValue = value;
      stamps_[found] = clock_++;
      ordered_ = false;
    }
    return AddResult::Counted;
  }
  const auto handle = static_cast<int32_t>(entries_.size());
  if (entries_.size() == entries_.capacity()) {
    entries_.reserve(entries_.size() + kInitialWordTableCapacity);
  }
  entries_.push_back(WordEntry{strCurrentWord, weight, 1, fromTitleOrMeta});
  stamps_.push_back(clock_++);
  nextSame_.push_back(kNoEntry);
  IndexInsert(handle);
  if (handle > 0 && entries_[handle - 1].keyValue < weight) ordered_ = false;
  return AddResult::NewWord;
}

// ---- Rank order ----

std::vector<int32_t> WordTable::RankOrder() const {
  std::vector<int32_t> order(entries_.size());
  std::iota(order.begin(), order.end(), 0);
  if (!ordered_) {
    std::sort(order.begin(), order.end(),
              [this](int32_t a, int32_t b) { return RanksBefore(a, b); });
  }
  return order;
}

const std::vector<WordEntry>& WordTable::Ranked() const {
  if (ordered_) return entries_;
  if (!rankedValid_) {
    ranked_.clear();
    ranked_.reserve(entries_.size());
    for (int32_t h : RankOrder())
      ranked_.push_back(entries_[h]);
    rankedValid_ = true;
  }
  return ranked_;
}

void WordTable::SortIntoRankOrder() {
  if (!ordered_) {
    std::vector<WordEntry> sorted;
    sorted.reserve(std::max<size_t>(entries_.size(), kInitialWordTableCapacity));
    for (int32_t h : RankOrder())
      sorted.push_back(std::move(entries_[h]));
    entries_ = std::move(sorted);
  }
  stamps_.resize(entries_.size());
  std::iota(stamps_.begin(), stamps_.end(), uint64_t{0});
  clock_ = entries_.size();
  ordered_ = true;
  ranked_.clear();
  rankedValid_ = false;
  RebuildIndex();
}

// ---- Finishing steps ----

void WordTable::ApplyMinFrequency(int32_t minFrequency) {
  SortIntoRankOrder();
  if (minFrequency <= 1) return;
  std::erase_if(entries_, [minFrequency](const WordEntry& e) {
    return e.frequency < minFrequency && !e.fromTitleOrMeta;
  });
  SortIntoRankOrder();
}

void WordTable::MergeCaseVariants() {
  SortIntoRankOrder();
  const int32_t n = intNumWords();
  if (n < 2) return;

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
  auto keyOf = [this](int32_t h) { return RankKey{entries_[h].keyValue, stamps_[h], h}; };

  // The table as it stands, position by position, and the entries by their shared form.
  std::set<RankKey, RankLess> order;
  std::unordered_map<Text, std::vector<int32_t>> variants;
  for (int32_t h = 0; h < n; ++h) {
    order.insert(order.end(), keyOf(h));
    variants[CaseMergeKey(entries_[h].word)].push_back(h);
  }
  auto forget = [&variants](const Text& key, int32_t h) {
    auto it = variants.find(key);
    if (it == variants.end()) return;
    std::erase(it->second, h);
  };

  // Position i walks the table once; `atI` is the entry that stands there now. The merges
  // at i look only at entries after it: those never move during that pass, they only
  // disappear, so "the next position" after a merged entry d is the entry after d's
  // successor (the successor itself moves into d's place and is passed over).
  auto atI = order.begin();
  for (int32_t i = 1; i <= n - 1 && atI != order.end(); ++i) {
    int32_t target = atI->handle;
    if (IsCaseMergeCandidate(entries_[target].word)) {
      RankKey boundary = *atI;  // the entries looked at rank after this one
      while (true) {
        const Text key = CaseMergeKey(entries_[target].word);
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
        WordEntry& merged = entries_[target];
        merged.frequency += entries_[found].frequency;
        const float value = merged.keyValue + entries_[found].keyValue;
        order.erase(foundAt);
        forget(CaseMergeKey(entries_[found].word), found);

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
          stamps_[target] = clock_++;
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
    result.push_back(std::move(entries_[key.handle]));
  entries_ = std::move(result);
  ordered_ = true;
  SortIntoRankOrder();
}

void WordTable::NormaliseKeyValues() {
  SortIntoRankOrder();
  if (entries_.empty()) return;
  float highest = 0;
  for (const WordEntry& e : entries_)
    highest = std::max(highest, e.keyValue);
  if (!(highest > 0)) return;
  for (WordEntry& e : entries_) {
    e.keyValue = static_cast<float>(static_cast<double>(e.keyValue) * kTopKeyValue /
                                    static_cast<double>(highest));
  }
}

}  // namespace tw
