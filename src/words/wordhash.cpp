// Hashing of words and a compact set of words.
#include "words/wordhash.hpp"

namespace tw {

namespace {

constexpr uint64_t kFnvOffset = 0xcbf29ce484222325ULL;
constexpr uint64_t kFnvPrime = 0x100000001b3ULL;
constexpr size_t kInitialSlots = 64;

// Final avalanche, so that the low bits used for the slot depend on every character.
uint64_t Mix(uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  h ^= h >> 33;
  return h;
}

}  // namespace

uint32_t HashWord(TextView head, TextView tail) {
  uint64_t h = kFnvOffset;
  for (char16_t c : head)
    h = (h ^ c) * kFnvPrime;
  for (char16_t c : tail)
    h = (h ^ c) * kFnvPrime;
  return static_cast<uint32_t>(Mix(h));
}

void WordSet::Clear() {
  words_.clear();
  slots_.clear();
}

int32_t WordSet::FindSlot(TextView word, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  size_t p = hash & mask;
  while (slots_[p].index >= 0) {
    if (slots_[p].hash == hash && words_[slots_[p].index] == word) break;
    p = (p + 1) & mask;
  }
  return static_cast<int32_t>(p);
}

void WordSet::Grow() {
  const size_t size = slots_.empty() ? kInitialSlots : slots_.size() * 2;
  slots_.assign(size, Slot{});
  const size_t mask = size - 1;
  for (size_t k = 0; k < words_.size(); ++k) {
    const uint32_t hash = HashWord(words_[k]);
    size_t p = hash & mask;
    while (slots_[p].index >= 0)
      p = (p + 1) & mask;
    slots_[p] = Slot{hash, static_cast<int32_t>(k)};
  }
}

bool WordSet::Insert(TextView word) {
  // Keep the load at one half at most.
  if ((words_.size() + 1) * 2 > slots_.size()) Grow();
  const uint32_t hash = HashWord(word);
  const int32_t p = FindSlot(word, hash);
  if (slots_[p].index >= 0) return false;
  slots_[p] = Slot{hash, static_cast<int32_t>(words_.size())};
  words_.emplace_back(word);
  return true;
}

bool WordSet::Contains(TextView word) const {
  if (slots_.empty()) return false;
  return slots_[FindSlot(word, HashWord(word))].index >= 0;
}

}  // namespace tw
