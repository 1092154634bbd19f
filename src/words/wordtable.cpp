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
// A hash index, whose slots are the nodes themselves, finds the node of each distinct word
// by its bytes, as the scanner hands the word over; the node keeps what the filters made of
// the word, holds the chain of entries that hold it (a plural merge can give two entries one
// word) and is linked, once, to the nodes of the word with one "s" more and one final "s"
// less, so that an occurrence of a word already met needs one look-up for its filters, its
// plural merge and its count.
//
// A scan's words can also wait a little in a queue before they are counted (AddWordSoon):
// meanwhile the node and the entry each will read are fetched from memory, which on a large
// document is where much of a word's time went.
#include "words/wordtable.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "core/hugepages.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "words/filters.hpp"
#include "words/wordhash.hpp"

namespace tw {

namespace {

constexpr size_t kInitialSlots = 1024;
constexpr size_t kMaxKeyLength = (size_t{1} << 27) - 1;  // what Node::keyLength holds
constexpr size_t kLoadNumerator = 8;
constexpr size_t kLoadDenominator = 10;
constexpr size_t kBytesPerDistinctWord = 80;
constexpr size_t kMaxPresizedSlots = size_t{1} << 19;
constexpr size_t kExpectedKeyBytes = 8;
constexpr double kTopKeyValue = 100.0;
constexpr int32_t kMinCaseMergeLength = 3;
constexpr char kPluralEnding = 's';
constexpr size_t kCharCount = 0x10000;
constexpr char kEscape = '\0';
constexpr size_t kEscapeLength = 3;
constexpr int kBitsPerByte = 8;
constexpr unsigned kByteMask = 0xFF;

// Asks the processor to bring the cache line at `p` in, without waiting for it. A fetch
// whose result nothing reads must not be dropped by the compiler, hence the assembly.
void FetchIntoCache(const void* p) {
#if defined(__x86_64__)
  asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(p)));
#else
  __builtin_prefetch(p);
#endif
}

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

// The character of a key at byte `k`, and the bytes it takes there.
char16_t KeyCharAt(std::string_view key, size_t k, size_t& length) {
  if (key[k] != kEscape || k + kEscapeLength > key.size()) {
    length = 1;
    return Cp1252ToChar(static_cast<unsigned char>(key[k]));
  }
  length = kEscapeLength;
  return static_cast<char16_t>(static_cast<unsigned char>(key[k + 1]) << kBitsPerByte |
                               static_cast<unsigned char>(key[k + 2]));
}

// The word of a key.
Text WordOfKey(std::string_view key) {
  if (key.find(kEscape) == std::string_view::npos) return DecodeCp1252(key);
  Text word;
  size_t length = 0;
  for (size_t k = 0; k < key.size(); k += length)
    word.push_back(KeyCharAt(key, k, length));
  return word;
}

// The key of the word without its final "s", when the word ends in "s" and is longer than
// it; none otherwise.
std::optional<std::string> SingularKey(std::string_view key) {
  if (key.size() < 2 || key.back() != kPluralEnding) return std::nullopt;
  // An "s" byte can end a character written out in three bytes.
  if (key.find(kEscape) == std::string_view::npos)
    return std::string(key.substr(0, key.size() - 1));
  const Text word = WordOfKey(key);
  if (word.size() < 2 || word.back() != u's') return std::nullopt;
  return KeyOfWord(TextView(word).substr(0, word.size() - 1));
}

// A number that falls as the value rises, equal for equal values (0 and -0 included).
uint32_t DescendingOrderOf(float value) {
  constexpr uint32_t kSign = 0x80000000U;
  if (value == 0) value = 0;  // -0 ranks as 0
  const auto bits = std::bit_cast<uint32_t>(value);
  // Ascending order of the bits as unsigned numbers: negative values reversed below the
  // positive ones; then turned round.
  const uint32_t ascending = (bits & kSign) != 0 ? ~bits : bits | kSign;
  return ~ascending;
}
constexpr int kStampBits = 32;

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

// The same for the word of a key.
bool IsCaseMergeCandidateKey(std::string_view key) {
  if (key.find(kEscape) != std::string_view::npos) return IsCaseMergeCandidate(WordOfKey(key));
  // Whether the character of each byte is its own lower-case form.
  static const std::array<bool, kByteMask + 1> lowerByte = [] {
    std::array<bool, kByteMask + 1> table{};
    for (size_t b = 0; b < table.size(); ++b) {
      const char16_t c = Cp1252ToChar(static_cast<unsigned char>(b));
      table[b] = LowerChar(c) == c;
    }
    return table;
  }();
  if (static_cast<int32_t>(key.size()) < kMinCaseMergeLength) return false;
  return std::all_of(key.begin() + 1, key.end(),
                     [](char b) { return lowerByte[static_cast<unsigned char>(b)]; });
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

// The key of the key's word in general lower case, in `lowered`.
void LowerKey(std::string_view key, std::string& lowered) {
  // The byte of each byte's character lowered, or -1 where that is no byte of a key.
  static const std::array<int16_t, kByteMask + 1> lowerByte = [] {
    std::array<int16_t, kByteMask + 1> t{};
    for (size_t b = 0; b < t.size(); ++b) {
      const int l = Cp1252FromChar(LowerChar(Cp1252ToChar(static_cast<unsigned char>(b))));
      t[b] = static_cast<int16_t>(b != 0 && l > 0 ? l : -1);
    }
    return t;
  }();
  lowered.assign(key);
  for (char& b : lowered) {
    const int16_t l = lowerByte[static_cast<unsigned char>(b)];
    if (l < 0) {
      lowered = KeyOfWord(ToLowerGeneral(WordOfKey(key)));
      return;
    }
    b = static_cast<char>(l);
  }
}

// For a key's first byte (a character of the code page): every character with the same
// general lower-case form, the byte's own included, as ForEachCharLoweringTo gives them.
struct FirstCharVariants {
  static constexpr size_t kMost = 6;
  std::array<char16_t, kMost> chars{};
  uint8_t count = 0;
  bool tooMany = false;  // more than kMost: enumerated the general way
};
const FirstCharVariants& VariantsOfFirstByte(unsigned char b) {
  static const std::array<FirstCharVariants, kByteMask + 1> table = [] {
    std::array<FirstCharVariants, kByteMask + 1> t{};
    for (size_t byte = 1; byte < t.size(); ++byte) {
      FirstCharVariants& v = t[byte];
      ForEachCharLoweringTo(LowerChar(Cp1252ToChar(static_cast<unsigned char>(byte))),
                            [&v](char16_t c) {
                              if (v.count == FirstCharVariants::kMost) {
                                v.tooMany = true;
                              } else {
                                v.chars[v.count++] = c;
                              }
                            });
    }
    return t;
  }();
  return table[b];
}

// Calls f(variant) with the key of every word that differs from the key's word at most in
// the case of its first letter (the word itself included, as the key), others made in
// `scratch`. A key is its characters' keys one after the other, so a variant's key is the key
// of its first character followed by the rest of the key.
template <class F>
void ForEachCaseVariantKey(std::string_view key, std::string& scratch, F f) {
  if (key.empty()) return;
  if (key[0] != kEscape) {
    const auto first = static_cast<unsigned char>(key[0]);
    const FirstCharVariants& v = VariantsOfFirstByte(first);
    if (!v.tooMany) {
      const char16_t own = Cp1252ToChar(first);
      for (size_t i = 0; i < v.count; ++i) {
        const char16_t c = v.chars[i];
        if (c == own) {
          f(key);
          continue;
        }
        scratch.clear();
        AppendKey(TextView(&c, 1), scratch);
        scratch.append(key.substr(1));
        f(std::string_view(scratch));
      }
      return;
    }
  }
  size_t firstLength = 0;
  const char16_t firstChar = KeyCharAt(key, 0, firstLength);
  const std::string_view rest = key.substr(firstLength);
  ForEachCharLoweringTo(LowerChar(firstChar), [&](char16_t c) {
    scratch.clear();
    AppendKey(TextView(&c, 1), scratch);
    scratch.append(rest);
    f(std::string_view(scratch));
  });
}

}  // namespace

namespace {

size_t RoundedToHugePages(size_t bytes) {
  return (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
}

}  // namespace

template <class T>
T* LargeArrayAllocator<T>::allocate(size_t n) {
  if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
  const size_t bytes = n * sizeof(T);
#if defined(__linux__)
  if (bytes >= kHugePageBytes) {
    // A mapping of its own, on whole huge pages: one huge page more is asked for, and what
    // lies before and after the aligned part is given back.
    const size_t rounded = RoundedToHugePages(bytes);
    void* mapped = mmap(nullptr, rounded + kHugePageBytes, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto base = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t start = (base + kHugePageBytes - 1) & ~(uintptr_t{kHugePageBytes} - 1);
    const size_t before = start - base;
    if (before > 0) (void)munmap(mapped, before);
    if (before < kHugePageBytes) {
      (void)munmap(reinterpret_cast<void*>(start + rounded), kHugePageBytes - before);
    }
    AdviseHugePages(reinterpret_cast<void*>(start), rounded);
    return reinterpret_cast<T*>(start);
  }
#endif
  void* p = std::calloc(n == 0 ? 1 : n, sizeof(T));
  if (p == nullptr) throw std::bad_alloc();
  return static_cast<T*>(p);
}

template <class T>
void LargeArrayAllocator<T>::deallocate(T* p, size_t n) {
#if defined(__linux__)
  if (n * sizeof(T) >= kHugePageBytes) {
    (void)munmap(p, RoundedToHugePages(n * sizeof(T)));
    return;
  }
#endif
  std::free(p);
}

template struct LargeArrayAllocator<WordTable::Node>;

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

void WordTable::Reset(const ScanOptions& options, const CommonWords& commonWords,
                      size_t documentBytes, bool countAtOnce) {
  Reset();
  // Room for one distinct word (as written, common words included) in every 80 bytes of a
  // large document: pages of documentation hold one in 110 to 120, and growing while a
  // one-line document is scanned would hold the old index and the new one beside its line.
  // Never more than 16 MB: a long document may hold few words. The index takes that size
  // when it first grows, not before: a one-line document's line is then held once, not
  // twice as while it is being prepared.
  const size_t expectedWords = documentBytes / kBytesPerDistinctWord;
  while (expectedSlots_ < kMaxPresizedSlots &&
         expectedWords * kLoadDenominator > expectedSlots_ * kLoadNumerator) {
    expectedSlots_ *= 2;
  }
  // The entries and keys of so many words, so that they are not copied as they grow (the
  // memory is taken only as it is written).
  const size_t expectedEntries = std::min(expectedWords, kMaxPresizedSlots);
  entries_.reserve(expectedEntries);
  keys_.reserve(expectedEntries * kExpectedKeyBytes);
  wordsWait_ = !countAtOnce && documentBytes >= kWordsWaitFromBytes;
  options_ = &options;
  commonWords_ = &commonWords;
  lengths_.shortest =
      options.ignoreShortWords ? static_cast<size_t>(std::max(options.shortWordSize, 0)) + 1 : 0;
}

void WordTable::Reset() {
  firstWaiting_ = 0;
  waiting_ = 0;
  wordsWait_ = false;
  options_ = nullptr;
  commonWords_ = nullptr;
  lengths_ = WordLengths{};
  entries_.clear();
  nodes_ = NodeArray(kInitialSlots);
  expectedSlots_ = kInitialSlots;
  keys_.clear();
  usedNodes_ = 0;
  clock_ = 0;
  entriesRanked_ = true;
  order_.clear();
  orderValid_ = false;
  lngTotalWords = 0;
}

// ---- The index: word -> node ----

// A key's hash is taken eight bytes at a time. A key of eight bytes or less is read as one
// number, its bytes in order and zeros after them (from four bytes on from the first four and
// the last four, which overlap below eight; below that from the first, middle and last byte);
// a longer key ends with the eight bytes that end it.
inline WordTable::KeyHash WordTable::HashKey(std::string_view key) {
  constexpr uint64_t kMultiplier = 0x9e3779b97f4a7c15ULL;
  constexpr uint64_t kFinalMultiplier = 0xd6e8feb86659fd93ULL;
  constexpr int kShift = 29;
  constexpr int kHalf = 32;
  constexpr uint64_t kLowHalf = 0xFFFFFFFFULL;
  constexpr size_t kQuarter = sizeof(uint32_t);
  const char* p = key.data();
  const size_t n = key.size();
  KeyHash k;
  uint64_t value = 0;  // the short key's number
  uint64_t h = (n + 1) * kMultiplier;
  if (n > sizeof(uint64_t)) {
    for (size_t at = 0; at < n; at += sizeof(uint64_t)) {
      const uint64_t chunk = Load64(p + std::min(at, n - sizeof(uint64_t)));
      k.zero = k.zero || HasZeroByte(chunk);
      h = (h ^ chunk) * kMultiplier;
      h ^= h >> kShift;
    }
  } else if (n >= kQuarter) {
    const uint64_t first = Load32(p);
    const uint64_t last = Load32(p + n - kQuarter);
    k.zero = HasZeroByte(first | last << kHalf);
    value = first | ((last << (kBitsPerByte * (n - kQuarter))) & ~kLowHalf);
    h = (h ^ value) * kMultiplier;
  } else if (n > 0) {
    const auto first = static_cast<uint64_t>(static_cast<unsigned char>(p[0]));
    const auto middle = static_cast<uint64_t>(static_cast<unsigned char>(p[n / 2]));
    const auto last = static_cast<uint64_t>(static_cast<unsigned char>(p[n - 1]));
    k.zero = first == 0 || middle == 0 || last == 0;
    value = first | middle << (kBitsPerByte * (n / 2)) | last << (kBitsPerByte * (n - 1));
    h = (h ^ value) * kMultiplier;
  }
  h ^= h >> kHalf;
  h *= kFinalMultiplier;
  k.hash = static_cast<uint32_t>(h ^ (h >> kHalf));
  k.shortKey = k.zero ? 0 : value;
  return k;
}

inline int32_t WordTable::FindNode(std::string_view key, const KeyHash& k) const {
  const size_t mask = nodes_.size() - 1;
  const Node* nodes = nodes_.data();
  for (size_t p = k.hash & mask;; p = (p + 1) & mask) {
    const Node& node = nodes[p];
    if (node.used == 0) return kNone;
    if (node.hash != k.hash) continue;
    // A short key is the same key exactly when the numbers are the same; any other key has
    // the short key 0 and is compared in keys_.
    if (k.shortKey != 0) {
      if (node.shortKey == k.shortKey) return static_cast<int32_t>(p);
    } else if (node.shortKey == 0 && node.keyLength == key.size() &&
               SameBytes(keys_.data() + node.keyStart, key.data(), key.size())) {
      return static_cast<int32_t>(p);
    }
  }
}

void WordTable::GrowIndex() {
  NodeArray old = std::move(nodes_);
  nodes_ = NodeArray(std::max(old.size() * 2, expectedSlots_));
  const size_t mask = nodes_.size() - 1;
  // The old place of a node keeps, in `head`, where the node went.
  for (Node& n : old) {
    if (n.used == 0) continue;
    size_t p = n.hash & mask;
    while (nodes_[p].used != 0)
      p = (p + 1) & mask;
    nodes_[p] = n;
    n.head = static_cast<int32_t>(p);
  }
  auto renumber = [&old](int32_t& node) {
    if (node != kNone) node = old[static_cast<size_t>(node)].head;
  };
  // Only the nodes moved are looked at: the rest of the new index is not touched.
  for (const Node& n : old) {
    if (n.used == 0) continue;
    Node& moved = nodes_[static_cast<size_t>(n.head)];
    renumber(moved.plural);
    renumber(moved.singular);
  }
  for (Entry& e : entries_)
    renumber(e.node);
}

// ---- Words waiting to be counted ----

void WordTable::Wait(std::string_view word, Occurrence occurrence, bool lasting) {
  RequireScanFilters();
  if (RejectedAtAGlance(word)) return;
  Waiting& w = waitingWords_[(firstWaiting_ + waiting_) % kWaitingWords];
  ++waiting_;
  w.k = HashKey(word);
  w.weight = occurrence.weight;
  w.fromTitleOrMeta = occurrence.fromTitleOrMeta;
  w.length = static_cast<uint8_t>(word.size());
  w.nearNode = kNone;
  if (lasting) {
    w.at = word.data();
  } else {
    std::copy(word.begin(), word.end(), w.bytes.begin());
    w.at = w.bytes.data();
  }
  FetchIntoCache(&nodes_[w.k.hash & (nodes_.size() - 1)]);
  // The node of a word that came a while ago has arrived by now, and so have the nodes of
  // the relatives of one that came earlier.
  const size_t newest = firstWaiting_ + waiting_ - 1;
  if (waiting_ > kEntryFetchDistance) {
    FetchCountPlaces(waitingWords_[(newest - kEntryFetchDistance) % kWaitingWords]);
  }
  if (waiting_ > kWaitingWords - kRelativeFetchDistance) {
    FetchRelativeEntries(
        waitingWords_[(newest - (kWaitingWords - kRelativeFetchDistance)) % kWaitingWords]);
  }
}

int32_t WordTable::NearNode(const KeyHash& k) const {
  const size_t mask = nodes_.size() - 1;
  size_t p = k.hash & mask;
  for (size_t probe = 0; probe < kFetchProbes; p = (p + 1) & mask, ++probe) {
    const Node& n = nodes_[p];
    if (n.used == 0) return kNone;
    if (n.hash == k.hash) return static_cast<int32_t>(p);
  }
  return kNone;
}

void WordTable::FetchEntryOf(int32_t node) const {
  const int32_t head = nodes_[static_cast<size_t>(node)].head;
  if (head == kNone) return;
  const auto* e = reinterpret_cast<const char*>(&entries_[static_cast<size_t>(head)]);
  FetchIntoCache(e);
  FetchIntoCache(e + sizeof(Entry) - 1);
}

void WordTable::FetchCountPlaces(Waiting& w) const {
  const int32_t node = NearNode(w.k);
  w.nearNode = node;
  if (node != kNone) {
    const Node& n = nodes_[static_cast<size_t>(node)];
    FetchEntryOf(node);
    if (n.singularHeld != 0) FetchIntoCache(&nodes_[static_cast<size_t>(n.singular)]);
    if (n.pluralHeld != 0) FetchIntoCache(&nodes_[static_cast<size_t>(n.plural)]);
    return;
  }
  if (w.k.zero) return;
  // Most likely a new word: its node will look for its plural and its singular.
  const size_t mask = nodes_.size() - 1;
  std::array<char, intMaxWordLength + 1> relative{};
  const std::string_view word = w.word();
  std::copy(word.begin(), word.end(), relative.begin());
  relative[word.size()] = kPluralEnding;
  FetchIntoCache(&nodes_[HashKey(std::string_view(relative.data(), word.size() + 1)).hash & mask]);
  if (word.size() >= 2 && word.back() == kPluralEnding) {
    FetchIntoCache(&nodes_[HashKey(word.substr(0, word.size() - 1)).hash & mask]);
  }
}

void WordTable::FetchRelativeEntries(const Waiting& w) const {
  const int32_t node = w.nearNode;
  if (node == kNone) return;
  const Node& n = nodes_[static_cast<size_t>(node)];
  if (n.singularHeld != 0) FetchEntryOf(n.singular);
  if (n.pluralHeld != 0) FetchEntryOf(n.plural);
}

int32_t WordTable::AddNode(std::string_view key, const KeyHash& k) {
  // Keep the load at eight tenths at most: a probe reads the nodes next to each other.
  if ((usedNodes_ + 1) * kLoadDenominator > nodes_.size() * kLoadNumerator) GrowIndex();
  Node node;
  node.hash = k.hash;
  node.keyStart = static_cast<uint32_t>(keys_.size());
  if (key.size() > kMaxKeyLength || keys_.size() + key.size() > UINT32_MAX) {
    throw std::length_error("WordTable: the keys outgrow the index");
  }
  node.keyLength = static_cast<uint32_t>(key.size()) & static_cast<uint32_t>(kMaxKeyLength);
  node.used = 1;
  node.shortKey = k.shortKey;
  std::string plural(key);
  plural.push_back(kPluralEnding);
  node.plural = FindNode(plural, HashKey(plural));
  if (const std::optional<std::string> stem = SingularKey(key)) {
    node.singular = FindNode(*stem, HashKey(*stem));
  }
  node.pluralHeld = node.plural != kNone && nodes_[static_cast<size_t>(node.plural)].head != kNone;
  node.singularHeld =
      node.singular != kNone && nodes_[static_cast<size_t>(node.singular)].head != kNone;
  // The key may be a view of keys_ itself: it is read before keys_ grows.
  keys_.append(key);
  const size_t mask = nodes_.size() - 1;
  size_t p = k.hash & mask;
  while (nodes_[p].used != 0)
    p = (p + 1) & mask;
  const auto index = static_cast<int32_t>(p);
  if (node.plural != kNone) nodes_[static_cast<size_t>(node.plural)].singular = index;
  if (node.singular != kNone) nodes_[static_cast<size_t>(node.singular)].plural = index;
  nodes_[p] = node;
  ++usedNodes_;
  return index;
}

int32_t WordTable::NodeOf(std::string_view key) {
  const KeyHash k = HashKey(key);
  const int32_t node = FindNode(key, k);
  return node != kNone ? node : AddNode(key, k);
}

int32_t WordTable::FirstOfLongerChain(int32_t head) const {
  int32_t best = head;
  for (int32_t e = entries_[static_cast<size_t>(best)].nextSame; e != kNone;
       e = entries_[static_cast<size_t>(e)].nextSame) {
    if (RanksBefore(e, best)) best = e;
  }
  return best;
}

void WordTable::MarkHeld(int32_t node, bool held) {
  const Node& n = nodes_[static_cast<size_t>(node)];
  if (n.plural != kNone) nodes_[static_cast<size_t>(n.plural)].singularHeld = held ? 1 : 0;
  if (n.singular != kNone) nodes_[static_cast<size_t>(n.singular)].pluralHeld = held ? 1 : 0;
}

void WordTable::Link(int32_t entry, int32_t node) {
  Entry& e = entries_[static_cast<size_t>(entry)];
  Node& n = nodes_[static_cast<size_t>(node)];
  e.node = node;
  e.nextSame = n.head;
  n.head = entry;
  if (e.nextSame == kNone) MarkHeld(node, true);
}

void WordTable::Unlink(int32_t entry) {
  Entry& e = entries_[static_cast<size_t>(entry)];
  int32_t* link = &nodes_[static_cast<size_t>(e.node)].head;
  while (*link != entry)
    link = &entries_[static_cast<size_t>(*link)].nextSame;
  *link = e.nextSame;
  e.nextSame = kNone;
  if (nodes_[static_cast<size_t>(e.node)].head == kNone) MarkHeld(e.node, false);
}

// ---- Counting ----

// The plural merge and the count of a word that passed the filters, by its node: an entry
// whose word plus "s" is the word shortens it, an entry whose word is the word plus "s" is
// renamed to it; the first such entry in rank order decides.
inline AddResult WordTable::Count(int32_t node, float weight, bool fromTitleOrMeta,
                                  bool& shortened) {
  shortened = false;
  const Node& n = nodes_[static_cast<size_t>(node)];
  const int32_t singular = n.singularHeld != 0 ? FirstOfChain(n.singular) : kNone;
  const int32_t plural = n.pluralHeld != 0 ? FirstOfChain(n.plural) : kNone;
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
                                    const KeyHash& k) {
  const Verdict verdict =
      RejectingFilter(word, *options_, *commonWords_, scratch_) == WordFilter::None
          ? Verdict::Passed
          : Verdict::Rejected;
  if (node == kNone) node = AddNode(key, k);
  nodes_[static_cast<size_t>(node)].verdict = verdict;
  return verdict;
}

AddResult WordTable::AddWord(std::string_view word, const OccurrenceContext& context) {
  RequireScanFilters();
  return AddWord(word, OccurrenceOf(context, options_->weights));
}

AddResult WordTable::AddWord(std::string_view word, Occurrence occurrence) {
  RequireScanFilters();
  // Words too short or too long are rejected at a glance; every other word is filtered the
  // first time, and its node keeps what the filters made of it.
  if (RejectedAtAGlance(word)) return AddResult::Rejected;
  return AddHashed(word, HashKey(word), occurrence.weight, occurrence.fromTitleOrMeta);
}

AddResult WordTable::AddHashed(std::string_view word, KeyHash k, float weight,
                               bool fromTitleOrMeta) {
  // A word of the scan is its own key, as it holds no character 0.
  std::string_view key = word;
  if (k.zero) {
    key_ = KeyOfWord(DecodeCp1252(word));
    key = key_;
    k = HashKey(key);
  }
  int32_t node = FindNode(key, k);
  Verdict verdict = node == kNone ? Verdict::Unknown : nodes_[static_cast<size_t>(node)].verdict;
  if (verdict == Verdict::Unknown) verdict = Judge(word, key, node, k);
  if (verdict == Verdict::Rejected) return AddResult::Rejected;
  bool shortened = false;
  return Count(node, weight, fromTitleOrMeta, shortened);
}

AddResult WordTable::CountWord(Text& word, float weight, bool fromTitleOrMeta) {
  key_.clear();
  AppendKey(word, key_);
  bool shortened = false;
  const AddResult result = Count(NodeOf(key_), weight, fromTitleOrMeta, shortened);
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

namespace {

// An entry and one number that orders as its rank does: its key value made an unsigned
// number that falls as the value rises, then its stamp.
struct RankKey {
  uint64_t rank;
  int32_t entry;
};

// Sorts by rank, a byte of it at a time from the lowest (a radix sort, stable), passing over
// the bytes that are the same in every key. Ranks are distinct: stamps are.
void RadixSortByRank(std::vector<RankKey>& keys) {
  constexpr int kDigits = 256;
  constexpr int kDigitBits = 8;
  constexpr uint64_t kDigitMask = kDigits - 1;
  if (keys.size() < 2) return;
  std::vector<RankKey> sorted(keys.size());
  for (int shift = 0; shift < 64; shift += kDigitBits) {
    std::array<size_t, kDigits> start{};
    for (const RankKey& k : keys)
      ++start[(k.rank >> shift) & kDigitMask];
    if (start[(keys.front().rank >> shift) & kDigitMask] == keys.size()) continue;
    size_t sum = 0;
    for (size_t& s : start) {
      const size_t count = s;
      s = sum;
      sum += count;
    }
    for (const RankKey& k : keys)
      sorted[start[(k.rank >> shift) & kDigitMask]++] = k;
    keys.swap(sorted);
  }
}

}  // namespace

void WordTable::MakeOrder() const {
  if (orderValid_) return;
  SortByRank([](const Entry&) { return true; }, order_);
  orderValid_ = true;
}

template <class Keep>
void WordTable::SortByRank(Keep keep, std::vector<int32_t>& order) const {
  std::vector<RankKey> keys;
  keys.reserve(entries_.size());
  for (size_t k = 0; k < entries_.size(); ++k) {
    const Entry& e = entries_[k];
    if (!keep(e)) continue;
    const uint64_t value = DescendingOrderOf(e.keyValue);
    keys.push_back(RankKey{value << kStampBits | e.stamp, static_cast<int32_t>(k)});
  }
  RadixSortByRank(keys);
  order.clear();
  order.reserve(keys.size());
  for (const RankKey& k : keys)
    order.push_back(k.entry);
}

RankedEntries WordTable::Ranked() const {
  RequireNoWaitingWords();
  if (entriesRanked_) return RankedEntries(*this, nullptr, entries_.size());
  MakeOrder();
  return RankedEntries(*this, order_.data(), order_.size());
}

template <class Keep>
void WordTable::PutInRankOrder(Keep keep) {
  // Entries in rank order already, every one kept: their stamps rise with the rank and their
  // chains hold, so nothing is to be done (as after the minimum frequency, for the case merge).
  if (entriesRanked_ && std::all_of(entries_.begin(), entries_.end(), keep)) return;
  // The entries kept, in rank order: only those are sorted.
  std::vector<int32_t> order;
  if (entriesRanked_ || orderValid_) {
    const size_t n = entries_.size();
    order.reserve(n);
    for (size_t rank = 0; rank < n; ++rank) {
      const auto e = entriesRanked_ ? static_cast<int32_t>(rank) : order_[rank];
      if (keep(entries_[static_cast<size_t>(e)])) order.push_back(e);
    }
  } else {
    SortByRank(keep, order);
  }
  std::vector<Entry> ranked;
  ranked.reserve(order.size());
  for (int32_t e : order)
    ranked.push_back(entries_[static_cast<size_t>(e)]);
  order = std::vector<int32_t>();
  // The nodes of the entries left out: those may hold no entry afterwards.
  std::vector<int32_t> leftOut;
  for (const Entry& e : entries_) {
    if (e.node != kNone && !keep(e)) leftOut.push_back(e.node);
  }
  ReplaceEntries(std::move(ranked), leftOut);
}

// The passes over the entries that link or unlink them read their nodes all over the index:
// each is fetched this many entries ahead.
constexpr size_t kLinkFetchAhead = 16;

void WordTable::FetchNodeOf(const Entry& e) const {
  if (e.node != kNone) FetchIntoCache(&nodes_[static_cast<size_t>(e.node)]);
}

void WordTable::ReplaceEntries(std::vector<Entry> ranked, const std::vector<int32_t>& leftOut) {
  // The chains are emptied through the entries' own nodes: a pass over the entries is shorter
  // than one over the whole index. A node that holds an entry afterwards held one before, so
  // its relatives are told only of the nodes left without one.
  const size_t old = entries_.size();
  for (size_t k = 0; k < old; ++k) {
    if (k + kLinkFetchAhead < old) FetchNodeOf(entries_[k + kLinkFetchAhead]);
    const Entry& e = entries_[k];
    if (e.node != kNone) nodes_[static_cast<size_t>(e.node)].head = kNone;
  }
  entries_ = std::move(ranked);
  for (size_t k = entries_.size(); k-- > 0;) {
    if (k >= kLinkFetchAhead) FetchNodeOf(entries_[k - kLinkFetchAhead]);
    Entry& e = entries_[k];
    e.stamp = static_cast<uint32_t>(k);
    Node& n = nodes_[static_cast<size_t>(e.node)];
    e.nextSame = n.head;
    n.head = static_cast<int32_t>(k);
  }
  for (const int32_t node : leftOut) {
    if (nodes_[static_cast<size_t>(node)].head == kNone) MarkHeld(node, false);
  }
  clock_ = static_cast<uint32_t>(entries_.size());
  entriesRanked_ = true;
  order_.clear();
  orderValid_ = false;
}

// ---- Finishing steps ----

void WordTable::ApplyMinFrequency(int32_t minFrequency) {
  RequireNoWaitingWords();
  PutInRankOrder([minFrequency](const Entry& e) {
    return minFrequency <= 1 || e.frequency >= minFrequency || e.fromTitleOrMeta;
  });
}

void WordTable::MergeCaseVariants() {
  RequireNoWaitingWords();
  PutInRankOrder([](const Entry&) { return true; });
  const auto n = static_cast<int32_t>(entries_.size());
  if (n < 2) return;

  // The table as it stands, position by position: a list in rank order, with the last
  // entry of each key value, so that a rising entry finds its new place at once.
  std::vector<int32_t> prev(static_cast<size_t>(n));
  std::vector<int32_t> next(static_cast<size_t>(n));
  std::map<float, int32_t> lastOf;
  // The values come in falling order: each new one is the least so far.
  auto least = lastOf.end();
  for (int32_t e = 0; e < n; ++e) {
    prev[static_cast<size_t>(e)] = e - 1;
    next[static_cast<size_t>(e)] = e + 1 < n ? e + 1 : kNone;
    const float value = entries_[static_cast<size_t>(e)].keyValue;
    if (least != lastOf.end() && least->first == value) {
      least->second = e;
    } else {
      least = lastOf.emplace_hint(lastOf.begin(), value, e);
    }
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
  auto forEachVariantKey = [&](int32_t target, std::string& scratch, auto f) {
    ForEachCaseVariantKey(KeyOf(nodes_[static_cast<size_t>(entry(target).node)]), scratch, f);
  };
  // The entry after the boundary that ranks first among the target's variants.
  auto firstVariantAfter = [&](int32_t target, const RankKey& boundary) {
    int32_t found = kNone;
    const int32_t own = entry(target).node;
    const char* ownKey = KeyOf(nodes_[static_cast<size_t>(own)]).data();
    forEachVariantKey(target, key_, [&](std::string_view variant) {
      // The word itself comes as its own key: its node is known.
      const int32_t node = variant.data() == ownKey ? own : FindNode(variant, HashKey(variant));
      if (node == kNone) return;
      for (int32_t e = nodes_[static_cast<size_t>(node)].head; e != kNone; e = entry(e).nextSame) {
        if (ranksAfter(boundary, e) && (found == kNone || RanksBefore(e, found))) found = e;
      }
    });
    return found;
  };
  // The walk below reads, for each position, the entry's node, its key and the index slots of
  // its variants, all over memory: they are fetched a few positions ahead (where the entries
  // are then is a guess, as merges may change it, which is all right for a fetch).
  constexpr int32_t kNodeFetchAhead = 16;
  constexpr int32_t kKeyFetchAhead = 12;
  constexpr int32_t kVariantFetchAhead = 8;
  std::string fetchScratch;
  std::string loweredKey;
  auto fetchNodeOf = [&](int32_t e) {
    if (e != kNone) FetchIntoCache(&nodes_[static_cast<size_t>(entry(e).node)]);
  };
  auto fetchKeyOf = [&](int32_t e) {
    if (e != kNone) FetchIntoCache(KeyOf(nodes_[static_cast<size_t>(entry(e).node)]).data());
  };
  auto fetchVariantSlots = [&](int32_t e) {
    if (e == kNone) return;
    const std::string_view key = KeyOf(nodes_[static_cast<size_t>(entry(e).node)]);
    if (!IsCaseMergeCandidateKey(key)) return;
    const size_t mask = nodes_.size() - 1;
    forEachVariantKey(e, fetchScratch, [&](std::string_view variant) {
      if (variant.data() != key.data()) FetchIntoCache(&nodes_[HashKey(variant).hash & mask]);
    });
  };
  auto later = [&](int32_t e, int32_t steps) {
    for (; steps > 0 && e != kNone; --steps)
      e = next[static_cast<size_t>(e)];
    return e;
  };

  // Position i walks the table once; `atI` is the entry that stands there now. The merges
  // at i look only at entries after it: those never move during that pass, they only
  // disappear, so "the next position" after a merged entry d is the entry after d's
  // successor (the successor itself moves into d's place and is passed over).
  int32_t atI = first;
  int32_t variantAhead = later(first, kVariantFetchAhead);
  int32_t keyAhead = later(variantAhead, kKeyFetchAhead - kVariantFetchAhead);
  int32_t nodeAhead = later(keyAhead, kNodeFetchAhead - kKeyFetchAhead);
  for (int32_t i = 1; i <= n - 1 && atI != kNone; ++i) {
    fetchNodeOf(nodeAhead);
    fetchKeyOf(keyAhead);
    fetchVariantSlots(variantAhead);
    nodeAhead = later(nodeAhead, 1);
    keyAhead = later(keyAhead, 1);
    variantAhead = later(variantAhead, 1);
    int32_t target = atI;
    if (IsCaseMergeCandidateKey(KeyOf(nodes_[static_cast<size_t>(entry(target).node)]))) {
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
        const std::string_view key = KeyOf(nodes_[static_cast<size_t>(entry(target).node)]);
        LowerKey(key, loweredKey);
        if (loweredKey != key) {
          const int32_t node = NodeOf(loweredKey);
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
  ranked.reserve(entries_.size());
  for (int32_t e = first; e != kNone; e = next[static_cast<size_t>(e)])
    ranked.push_back(entry(e));
  // The entries merged away are unlinked already: every node keeps the entries it holds.
  ReplaceEntries(std::move(ranked), {});
}

void WordTable::NormaliseKeyValues() {
  RequireNoWaitingWords();
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
