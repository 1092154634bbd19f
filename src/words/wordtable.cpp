// The word table: counting, the plural merge, ranking and the finishing steps after a scan.
//
// Rank order is "key value descending, then the moment the entry last changed its key value
// (or was created) ascending": exactly the order that one insertion step after every change
// keeps, since a rising entry goes after every entry of greater or equal value. So during a
// scan the entries stay where they were created, each with the stamp of its last change, and
// the ranked order is built only when it is asked for. The one step that reads the order
// while counting, the plural merge ("the first entry in rank order decides"), compares two
// entries by their key values and stamps.
//
// A hash index finds the node of each distinct word by its bytes, as the scanner hands the
// word over; the node keeps what the filters made of the word, holds the chain of entries
// that hold it (a plural merge can give two entries one word) and is linked, once, to the
// nodes of the word with one "s" more and one final "s" less, so that an occurrence of a
// word already met needs one look-up for its filters, its plural merge and its count.
#include "words/wordtable.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>
#include <utility>

#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "words/filters.hpp"
#include "words/wordhash.hpp"

namespace tw {

namespace {

constexpr size_t kInitialSlots = 1024;
constexpr size_t kLoadNumerator = 7;
constexpr size_t kLoadDenominator = 10;
constexpr double kTopKeyValue = 100.0;
constexpr int32_t kMinCaseMergeLength = 3;
constexpr char kPluralEnding = 's';
constexpr size_t kCharCount = 0x10000;
constexpr char kEscape = '\0';
constexpr size_t kEscapeLength = 3;
constexpr int kBitsPerByte = 8;
constexpr unsigned kByteMask = 0xFF;

// The key of a word (see WordTable::Node), appended to `key`.
void AppendKey(TextView word, std::string& key) {
  for (char16_t c : word) {
    const int b = Cp1252FromChar(c);
    if (b > 0) {
      key.push_back(static_cast<char>(b));
    } else {
      key.push_back(kEscape);
      key.push_back(static_cast<char>(c >> kBitsPerByte));
      key.push_back(static_cast<char>(c & kByteMask));
    }
  }
}

std::string KeyOfWord(TextView word) {
  std::string key;
  AppendKey(word, key);
  return key;
}

// The word of a key.
Text WordOfKey(std::string_view key) {
  if (key.find(kEscape) == std::string_view::npos) return DecodeCp1252(key);
  Text word;
  for (size_t k = 0; k < key.size(); ++k) {
    if (key[k] != kEscape || k + kEscapeLength > key.size()) {
      word.push_back(Cp1252ToChar(static_cast<unsigned char>(key[k])));
      continue;
    }
    word.push_back(static_cast<char16_t>(static_cast<unsigned char>(key[k + 1]) << kBitsPerByte |
                                         static_cast<unsigned char>(key[k + 2])));
    k += kEscapeLength - 1;
  }
  return word;
}

// The key of the word without its final "s", when the word ends in "s" and is longer than
// it; none otherwise.
std::optional<std::string> SingularKey(std::string_view key) {
  if (key.size() < 2 || key.back() != kPluralEnding) return std::nullopt;
  // An "s" byte can end a character written out in three bytes.
  if (key.find(kEscape) == std::string_view::npos) return std::string(key.substr(0, key.size() - 1));
  const Text word = WordOfKey(key);
  if (word.size() < 2 || word.back() != u's') return std::nullopt;
  return KeyOfWord(TextView(word).substr(0, word.size() - 1));
}

// Whether some byte of the eight is 0.
bool HasZeroByte(uint64_t v) {
  constexpr uint64_t kLanes = 0x0101010101010101ULL;
  constexpr uint64_t kHighBits = 0x8080808080808080ULL;
  return ((v - kLanes) & ~v & kHighBits) != 0;
}

uint64_t Load64(const char* p) {
  uint64_t v = 0;
  std::memcpy(&v, p, sizeof v);
  return v;
}

uint32_t Load32(const char* p) {
  uint32_t v = 0;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// A 32-bit hash of a key, eight bytes at a time; `zero` tells whether the key holds a 0
// byte. Up to eight bytes are read as one number that, with the length, tells them apart:
// from four bytes on the first four and the last four (which overlap below eight), below
// that the first, middle and last byte; a longer key ends with the eight bytes that end it.
inline uint32_t HashKey(std::string_view key, bool& zero) {
  constexpr uint64_t kMultiplier = 0x9e3779b97f4a7c15ULL;
  constexpr uint64_t kFinalMultiplier = 0xd6e8feb86659fd93ULL;
  constexpr int kShift = 29;
  constexpr int kHalf = 32;
  constexpr size_t kQuarter = sizeof(uint32_t);
  const char* p = key.data();
  const size_t n = key.size();
  uint64_t h = (n + 1) * kMultiplier;
  if (n > sizeof(uint64_t)) {
    zero = false;
    for (size_t at = 0; at < n; at += sizeof(uint64_t)) {
      const uint64_t chunk = Load64(p + std::min(at, n - sizeof(uint64_t)));
      zero = zero || HasZeroByte(chunk);
      h = (h ^ chunk) * kMultiplier;
      h ^= h >> kShift;
    }
  } else if (n >= kQuarter) {
    const uint64_t v = Load32(p) | static_cast<uint64_t>(Load32(p + n - kQuarter)) << kHalf;
    zero = HasZeroByte(v);
    h = (h ^ v) * kMultiplier;
  } else if (n > 0) {
    const auto first = static_cast<unsigned char>(p[0]);
    const auto middle = static_cast<unsigned char>(p[n / 2]);
    const auto last = static_cast<unsigned char>(p[n - 1]);
    zero = first == 0 || middle == 0 || last == 0;
    h = (h ^ (first | static_cast<uint64_t>(middle) << kBitsPerByte |
              static_cast<uint64_t>(last) << 2 * kBitsPerByte)) *
        kMultiplier;
  } else {
    zero = false;
  }
  h ^= h >> kHalf;
  h *= kFinalMultiplier;
  return static_cast<uint32_t>(h ^ (h >> kHalf));
}

uint32_t HashKey(std::string_view key) {
  bool zero = false;
  return HashKey(key, zero);
}

// Whether `n` bytes at `a` and at `b` are the same; made for short keys.
inline bool SameBytes(const char* a, const char* b, size_t n) {
  constexpr size_t kQuarter = sizeof(uint32_t);
  if (n >= sizeof(uint64_t)) {
    for (size_t at = 0; at + sizeof(uint64_t) < n; at += sizeof(uint64_t)) {
      if (Load64(a + at) != Load64(b + at)) return false;
    }
    return Load64(a + n - sizeof(uint64_t)) == Load64(b + n - sizeof(uint64_t));
  }
  if (n >= kQuarter) {
    return Load32(a) == Load32(b) && Load32(a + n - kQuarter) == Load32(b + n - kQuarter);
  }
  return n == 0 || (a[0] == b[0] && a[n / 2] == b[n / 2] && a[n - 1] == b[n - 1]);
}

// Only the first letter of such a word may be upper case.
bool IsCaseMergeCandidate(TextView word) {
  if (static_cast<int32_t>(word.size()) < kMinCaseMergeLength) return false;
  return std::all_of(word.begin() + 1, word.end(), [](char16_t c) { return LowerChar(c) == c; });
}

// Calls `f` with every character whose general lower-case form is `lowered`.
template <class F>
void ForEachCharLoweringTo(char16_t lowered, F f) {
  // Pairs (lower-case form, character) of every character that lowering changes, by form.
  static const std::vector<std::pair<char16_t, char16_t>> changed = [] {
    std::vector<std::pair<char16_t, char16_t>> pairs;
    for (size_t c = 0; c < kCharCount; ++c) {
      const auto ch = static_cast<char16_t>(c);
      if (LowerChar(ch) != ch) pairs.emplace_back(LowerChar(ch), ch);
    }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
  }();
  if (LowerChar(lowered) == lowered) f(lowered);
  const auto from =
      std::lower_bound(changed.begin(), changed.end(), std::make_pair(lowered, char16_t{0}));
  for (auto it = from; it != changed.end() && it->first == lowered; ++it)
    f(it->second);
}

}  // namespace

WordEntry RankedEntries::operator[](size_t rank) const {
  const auto& e = table_->entries_[order_ == nullptr ? rank : static_cast<size_t>(order_[rank])];
  return WordEntry{table_->WordOf(e), e.keyValue, e.frequency, e.fromTitleOrMeta};
}

Text WordTable::WordOf(const Entry& e) const {
  return WordOfKey(KeyOf(nodes_[static_cast<size_t>(e.node)]));
}

WordTable::WordTable() {
  Reset();
}

void WordTable::Reset(const ScanOptions& options, const CommonWords& commonWords) {
  Reset();
  options_ = &options;
  commonWords_ = &commonWords;
  shortestWord_ =
      options.ignoreShortWords ? static_cast<size_t>(std::max(options.shortWordSize, 0)) + 1 : 0;
}

void WordTable::Reset() {
  options_ = nullptr;
  commonWords_ = nullptr;
  entries_.clear();
  nodes_.clear();
  slots_.assign(kInitialSlots, Slot{});
  keys_.clear();
  usedSlots_ = 0;
  clock_ = 0;
  entriesRanked_ = true;
  order_.clear();
  orderValid_ = false;
  lngTotalWords = 0;
}

// ---- The index: word -> node ----

inline int32_t WordTable::FindNode(std::string_view key, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  const Slot* slots = slots_.data();
  for (size_t p = hash & mask;; p = (p + 1) & mask) {
    const Slot& slot = slots[p];
    if (slot.node == kNone) return kNone;
    if (slot.hash != hash) continue;
    const Node& node = nodes_[static_cast<size_t>(slot.node)];
    if (node.keyLength == key.size() &&
        SameBytes(keys_.data() + node.keyStart, key.data(), key.size())) {
      return slot.node;
    }
  }
}

void WordTable::GrowIndex() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.size() * 2, Slot{});
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.node == kNone) continue;
    size_t p = slot.hash & mask;
    while (slots_[p].node != kNone)
      p = (p + 1) & mask;
    slots_[p] = slot;
  }
}

int32_t WordTable::AddNode(std::string_view key, uint32_t hash) {
  // Keep the load at seven tenths at most.
  if ((usedSlots_ + 1) * kLoadDenominator > slots_.size() * kLoadNumerator) GrowIndex();
  const auto index = static_cast<int32_t>(nodes_.size());
  Node node;
  node.hash = hash;
  node.keyStart = static_cast<uint32_t>(keys_.size());
  node.keyLength = static_cast<uint32_t>(key.size());
  std::string plural(key);
  plural.push_back(kPluralEnding);
  node.plural = FindNode(plural, HashKey(plural));
  if (const std::optional<std::string> stem = SingularKey(key)) {
    node.singular = FindNode(*stem, HashKey(*stem));
  }
  // The key may be a view of keys_ itself: it is read before keys_ grows.
  keys_.append(key);
  if (node.plural != kNone) nodes_[static_cast<size_t>(node.plural)].singular = index;
  if (node.singular != kNone) nodes_[static_cast<size_t>(node.singular)].plural = index;
  nodes_.push_back(node);
  const size_t mask = slots_.size() - 1;
  size_t p = hash & mask;
  while (slots_[p].node != kNone)
    p = (p + 1) & mask;
  slots_[p] = Slot{hash, index};
  ++usedSlots_;
  return index;
}

int32_t WordTable::NodeOf(std::string_view key, uint32_t hash) {
  const int32_t node = FindNode(key, hash);
  return node != kNone ? node : AddNode(key, hash);
}

int32_t WordTable::FirstOfLongerChain(int32_t head) const {
  int32_t best = head;
  for (int32_t e = entries_[static_cast<size_t>(best)].nextSame; e != kNone;
       e = entries_[static_cast<size_t>(e)].nextSame) {
    if (RanksBefore(e, best)) best = e;
  }
  return best;
}

void WordTable::Link(int32_t entry, int32_t node) {
  Entry& e = entries_[static_cast<size_t>(entry)];
  Node& n = nodes_[static_cast<size_t>(node)];
  e.node = node;
  e.nextSame = n.head;
  n.head = entry;
}

void WordTable::Unlink(int32_t entry) {
  Entry& e = entries_[static_cast<size_t>(entry)];
  int32_t* link = &nodes_[static_cast<size_t>(e.node)].head;
  while (*link != entry)
    link = &entries_[static_cast<size_t>(*link)].nextSame;
  *link = e.nextSame;
  e.nextSame = kNone;
}

// ---- Counting ----

// The plural merge and the count of a word that passed the filters, by its node: an entry
// whose word plus "s" is the word shortens it, an entry whose word is the word plus "s" is
// renamed to it; the first such entry in rank order decides.
inline AddResult WordTable::Count(int32_t node, float weight, bool fromTitleOrMeta,
                                  bool& shortened) {
  shortened = false;
  const Node& n = nodes_[static_cast<size_t>(node)];
  const int32_t singular = FirstOfChain(n.singular);
  const int32_t plural = FirstOfChain(n.plural);
  if (singular != kNone && (plural == kNone || RanksBefore(singular, plural))) {
    // The word is counted as its singular, not merged again.
    shortened = true;
    CountOccurrence(singular, weight);
    return AddResult::Counted;
  }
  if (plural != kNone) return RenameAndCount(plural, node, weight);
  const int32_t found = FirstOfChain(node);
  if (found == kNone) return AddEntry(node, weight, fromTitleOrMeta);
  CountOccurrence(found, weight);
  return AddResult::Counted;
}

AddResult WordTable::RenameAndCount(int32_t plural, int32_t node, float weight) {
  // The plural entry takes the word; its key value, frequency, flag and rank stay.
  Unlink(plural);
  Link(plural, node);
  CountOccurrence(FirstOfChain(node), weight);
  return AddResult::Counted;
}

AddResult WordTable::AddEntry(int32_t node, float weight, bool fromTitleOrMeta) {
  const auto entry = static_cast<int32_t>(entries_.size());
  if (!entries_.empty() && entries_.back().keyValue < weight) entriesRanked_ = false;
  Entry e;
  e.keyValue = weight;
  e.frequency = 1;
  e.stamp = NextStamp();
  e.fromTitleOrMeta = fromTitleOrMeta;
  entries_.push_back(e);
  Link(entry, node);
  orderValid_ = false;
  return AddResult::NewWord;
}

WordTable::Verdict WordTable::Judge(std::string_view word, std::string_view key, int32_t& node,
                                    uint32_t hash) {
  const Verdict verdict =
      RejectingFilter(word, *options_, *commonWords_, scratch_) == WordFilter::None
          ? Verdict::Passed
          : Verdict::Rejected;
  if (node == kNone) node = AddNode(key, hash);
  nodes_[static_cast<size_t>(node)].verdict = verdict;
  return verdict;
}

AddResult WordTable::AddWord(std::string_view word, const OccurrenceContext& context) {
  if (commonWords_ == nullptr) {
    throw std::logic_error("WordTable::AddWord before Reset with the scan's filters");
  }
  // Words too short or too long are rejected at a glance; every other word is filtered the
  // first time, and its node keeps what the filters made of it.
  if (word.size() < shortestWord_ || word.size() > static_cast<size_t>(intMaxWordLength)) {
    return AddResult::Rejected;
  }
  // A word of the scan is its own key, as it holds no character 0.
  bool zero = false;
  std::string_view key = word;
  uint32_t hash = HashKey(word, zero);
  if (zero) {
    key_ = KeyOfWord(DecodeCp1252(word));
    key = key_;
    hash = HashKey(key);
  }
  int32_t node = FindNode(key, hash);
  Verdict verdict = node == kNone ? Verdict::Unknown : nodes_[static_cast<size_t>(node)].verdict;
  if (verdict == Verdict::Unknown) verdict = Judge(word, key, node, hash);
  if (verdict == Verdict::Rejected) return AddResult::Rejected;
  const bool fromTitleOrMeta =
      context.blnInTitle || context.blnInDescription || context.blnInExistingKeywords;
  bool shortened = false;
  return Count(node, OccurrenceWeight(context, options_->weights), fromTitleOrMeta, shortened);
}

AddResult WordTable::CountWord(Text& word, float weight, bool fromTitleOrMeta) {
  key_.clear();
  AppendKey(word, key_);
  bool shortened = false;
  const AddResult result = Count(NodeOf(key_, HashKey(key_)), weight, fromTitleOrMeta, shortened);
  if (shortened) word.pop_back();
  return result;
}

// ---- Rank order ----

void WordTable::RenumberStamps() {
  MakeOrder();
  for (size_t rank = 0; rank < order_.size(); ++rank)
    entries_[static_cast<size_t>(order_[rank])].stamp = static_cast<uint32_t>(rank);
  clock_ = static_cast<uint32_t>(order_.size());
}

void WordTable::MakeOrder() const {
  if (orderValid_) return;
  // Sorted on copies of the keys, so that the comparisons read memory in order.
  struct Key {
    float keyValue;
    int32_t entry;
    uint32_t stamp;
  };
  std::vector<Key> keys;
  keys.reserve(entries_.size());
  for (size_t k = 0; k < entries_.size(); ++k)
    keys.push_back(Key{entries_[k].keyValue, static_cast<int32_t>(k), entries_[k].stamp});
  std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
    return a.keyValue > b.keyValue || (a.keyValue == b.keyValue && a.stamp < b.stamp);
  });
  order_.clear();
  order_.reserve(keys.size());
  for (const Key& k : keys)
    order_.push_back(k.entry);
  orderValid_ = true;
}

RankedEntries WordTable::Ranked() const {
  if (entriesRanked_) return RankedEntries(*this, nullptr, entries_.size());
  MakeOrder();
  return RankedEntries(*this, order_.data(), order_.size());
}

template <class Keep>
void WordTable::PutInRankOrder(Keep keep) {
  std::vector<int32_t> order;
  if (entriesRanked_) {
    order.reserve(entries_.size());
    for (size_t k = 0; k < entries_.size(); ++k)
      order.push_back(static_cast<int32_t>(k));
  } else {
    MakeOrder();
    order = std::move(order_);
  }
  std::vector<Entry> ranked;
  ranked.reserve(order.size());
  for (int32_t e : order) {
    if (keep(entries_[static_cast<size_t>(e)])) ranked.push_back(entries_[static_cast<size_t>(e)]);
  }
  order = std::vector<int32_t>();
  entries_ = std::move(ranked);
  // Stamps that follow the order, and the chains anew.
  for (Node& n : nodes_)
    n.head = kNone;
  for (size_t k = entries_.size(); k-- > 0;) {
    entries_[k].stamp = static_cast<uint32_t>(k);
    Link(static_cast<int32_t>(k), entries_[k].node);
  }
  clock_ = static_cast<uint32_t>(entries_.size());
  entriesRanked_ = true;
  order_.clear();
  orderValid_ = false;
}

// ---- Finishing steps ----

void WordTable::ApplyMinFrequency(int32_t minFrequency) {
  PutInRankOrder([minFrequency](const Entry& e) {
    return minFrequency <= 1 || e.frequency >= minFrequency || e.fromTitleOrMeta;
  });
}

void WordTable::MergeCaseVariants() {
  PutInRankOrder([](const Entry&) { return true; });
  const auto n = static_cast<int32_t>(entries_.size());
  if (n < 2) return;

  // The table as it stands, position by position: a list in rank order, with the last
  // entry of each key value, so that a rising entry finds its new place at once.
  std::vector<int32_t> prev(static_cast<size_t>(n));
  std::vector<int32_t> next(static_cast<size_t>(n));
  std::map<float, int32_t> lastOf;
  for (int32_t e = 0; e < n; ++e) {
    prev[static_cast<size_t>(e)] = e - 1;
    next[static_cast<size_t>(e)] = e + 1 < n ? e + 1 : kNone;
    lastOf[entries_[static_cast<size_t>(e)].keyValue] = e;
  }
  int32_t first = 0;
  auto entry = [this](int32_t e) -> Entry& { return entries_[static_cast<size_t>(e)]; };
  auto remove = [&](int32_t e) {
    const float value = entry(e).keyValue;
    const int32_t before = prev[static_cast<size_t>(e)];
    const int32_t after = next[static_cast<size_t>(e)];
    const auto last = lastOf.find(value);
    if (last->second == e) {
      if (before != kNone && entry(before).keyValue == value) {
        last->second = before;
      } else {
        lastOf.erase(last);
      }
    }
    if (before != kNone) {
      next[static_cast<size_t>(before)] = after;
    } else {
      first = after;
    }
    if (after != kNone) prev[static_cast<size_t>(after)] = before;
  };
  // After every entry of greater or equal key value.
  auto insert = [&](int32_t e) {
    const float value = entry(e).keyValue;
    const auto atLeast = lastOf.lower_bound(value);
    const int32_t before = atLeast == lastOf.end() ? kNone : atLeast->second;
    const int32_t after = before == kNone ? first : next[static_cast<size_t>(before)];
    prev[static_cast<size_t>(e)] = before;
    next[static_cast<size_t>(e)] = after;
    if (before == kNone) {
      first = e;
    } else {
      next[static_cast<size_t>(before)] = e;
    }
    if (after != kNone) prev[static_cast<size_t>(after)] = e;
    lastOf[value] = e;
  };

  struct RankKey {
    float value;
    uint32_t stamp;
  };
  auto keyOf = [&](int32_t e) { return RankKey{entry(e).keyValue, entry(e).stamp}; };
  // Whether the entry ranks after the boundary.
  auto ranksAfter = [&](const RankKey& boundary, int32_t e) {
    const Entry& x = entry(e);
    return boundary.value > x.keyValue ||
           (boundary.value == x.keyValue && boundary.stamp < x.stamp);
  };
  Text variant;
  // The entry after the boundary that ranks first among those whose word differs from the
  // target's at most in the case of its first letter (the target's own word included).
  auto firstVariantAfter = [&](int32_t target, const RankKey& boundary) {
    int32_t found = kNone;
    variant = WordOf(entry(target));
    if (variant.empty()) return found;
    ForEachCharLoweringTo(LowerChar(variant.front()), [&](char16_t c) {
      variant[0] = c;
      key_.clear();
      AppendKey(variant, key_);
      const int32_t node = FindNode(key_, HashKey(key_));
      if (node == kNone) return;
      for (int32_t e = nodes_[static_cast<size_t>(node)].head; e != kNone; e = entry(e).nextSame) {
        if (ranksAfter(boundary, e) && (found == kNone || RanksBefore(e, found))) found = e;
      }
    });
    return found;
  };

  // Position i walks the table once; `atI` is the entry that stands there now. The merges
  // at i look only at entries after it: those never move during that pass, they only
  // disappear, so "the next position" after a merged entry d is the entry after d's
  // successor (the successor itself moves into d's place and is passed over).
  int32_t atI = first;
  for (int32_t i = 1; i <= n - 1 && atI != kNone; ++i) {
    int32_t target = atI;
    if (IsCaseMergeCandidate(WordOf(entry(target)))) {
      RankKey boundary = keyOf(atI);  // the entries looked at rank after this one
      for (;;) {
        const int32_t found = firstVariantAfter(target, boundary);
        if (found == kNone) break;
        const int32_t successor = next[static_cast<size_t>(found)];
        const bool more = successor != kNone;
        const RankKey nextBoundary = more ? keyOf(successor) : RankKey{};

        // Merge the entry into the one at position i and remove it.
        entry(target).frequency += entry(found).frequency;
        const float value = entry(target).keyValue + entry(found).keyValue;
        remove(found);
        Unlink(found);

        // The word at position i takes its lower-cased form.
        const Text word = WordOf(entry(target));
        const Text lowered = ToLowerGeneral(word);
        if (lowered != word) {
          const std::string key = KeyOfWord(lowered);
          const int32_t node = NodeOf(key, HashKey(key));
          Unlink(target);
          Link(target, node);
        }

        // One insertion step: the entry moves up past every entry of lower value; the one
        // that stood before it then stands at position i.
        if (value != entry(target).keyValue) {
          const int32_t previous = prev[static_cast<size_t>(target)];
          const int32_t before =
              previous != kNone && entry(previous).keyValue < value ? previous : kNone;
          remove(target);
          entry(target).keyValue = value;
          // The table was put in rank order with stamps up to its size; each merge takes one
          // stamp more, so they do not run out here.
          entry(target).stamp = clock_++;
          insert(target);
          if (before != kNone) target = before;
        }
        if (!more) break;
        boundary = nextBoundary;
      }
    }
    atI = next[static_cast<size_t>(target)];
  }

  // The entries that are left, in their order.
  std::vector<Entry> ranked;
  for (int32_t e = first; e != kNone; e = next[static_cast<size_t>(e)])
    ranked.push_back(entry(e));
  entries_ = std::move(ranked);
  entriesRanked_ = true;
  PutInRankOrder([](const Entry&) { return true; });
}

void WordTable::NormaliseKeyValues() {
  PutInRankOrder([](const Entry&) { return true; });
  float highest = 0;
  for (const Entry& e : entries_)
    highest = std::max(highest, e.keyValue);
  if (highest > 0) {
    for (Entry& e : entries_) {
      e.keyValue = static_cast<float>(static_cast<double>(e.keyValue) * kTopKeyValue /
                                      static_cast<double>(highest));
    }
  }
}

}  // namespace tw
