// Hashing of words and a compact set of words.
#include "words/wordhash.hpp"

#include <cstring>

namespace tw {

namespace {

constexpr uint64_t kSeed = 0x243f6a8885a308d3ULL;
constexpr uint64_t kLengthFactor = 0x9e3779b97f4a7c15ULL;
constexpr uint64_t kChunkFactor = 0xbf58476d1ce4e5b9ULL;
constexpr uint64_t kTailFactor = 0x94d049bb133111ebULL;
constexpr size_t kCharsPerChunk = sizeof(uint64_t) / sizeof(char16_t);
constexpr size_t kBitsPerChar = 16;
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

uint32_t HashWord(TextView word) {
  return HashWord(word, nullptr);
}

uint32_t HashWord(TextView head, const char16_t* last) {
  // Four characters at a time: words are short, so this is a few multiplications. The
  // optional last character is hashed as if it stood at the end of `head`.
  const char16_t* p = head.data();
  size_t n = head.size();
  const size_t total = n + (last != nullptr ? 1 : 0);
  uint64_t h = kSeed ^ (total * kLengthFactor);
  while (n >= kCharsPerChunk) {
    uint64_t chunk;
    std::memcpy(&chunk, p, sizeof chunk);
    h = (h ^ chunk) * kChunkFactor;
    h ^= h >> 31;
    p += kCharsPerChunk;
    n -= kCharsPerChunk;
  }
  // The 0 to 3 characters left, and the last character if there is one.
  uint64_t chunk = 0;
  for (size_t k = 0; k < n; ++k)
    chunk |= static_cast<uint64_t>(p[k]) << (kBitsPerChar * k);
  if (last != nullptr) {
    if (n + 1 == kCharsPerChunk) {
      // A whole chunk, read as the loop above would read it.
      const char16_t whole[kCharsPerChunk] = {p[0], p[1], p[2], *last};
      std::memcpy(&chunk, whole, sizeof chunk);
      h = (h ^ chunk) * kChunkFactor;
      h ^= h >> 31;
      return static_cast<uint32_t>(Mix(h));
    }
    chunk |= static_cast<uint64_t>(*last) << (kBitsPerChar * n);
    ++n;
  }
  if (n > 0) {
    h = (h ^ chunk) * kTailFactor;
    h ^= h >> 29;
  }
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
  return Contains(word, HashWord(word));
}

bool WordSet::Contains(TextView word, uint32_t hash) const {
  if (slots_.empty()) return false;
  return slots_[FindSlot(word, hash)].index >= 0;
}

}  // namespace tw
