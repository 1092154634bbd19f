// Hashing of words and a compact set of words, for the look-ups that must not scan a list
// (word table entries, common words).
#pragma once

#include <cstdint>
#include <vector>

#include "text/text.hpp"

namespace tw {

// A 32-bit hash of a word, built one character at a time, so that a word can be hashed while
// it is being made.
class WordHasher {
 public:
  void Add(char16_t c) { state_ = (state_ ^ c) * kMultiplier; }
  uint32_t Value() const {
    uint64_t h = state_ ^ (state_ >> kHalf);
    h *= kFinalMultiplier;
    return static_cast<uint32_t>(h ^ (h >> kHalf));
  }

 private:
  static constexpr uint64_t kSeed = 0x243f6a8885a308d3ULL;
  static constexpr uint64_t kMultiplier = 0x9e3779b97f4a7c15ULL;
  static constexpr uint64_t kFinalMultiplier = 0xd6e8feb86659fd93ULL;
  static constexpr int kHalf = 32;
  uint64_t state_ = kSeed;
};

inline uint32_t HashWord(TextView word) {
  WordHasher h;
  for (char16_t c : word)
    h.Add(c);
  return h.Value();
}
// The hash of `head` followed by the character `last` (none when null), without building it.
inline uint32_t HashWord(TextView head, const char16_t* last) {
  WordHasher h;
  for (char16_t c : head)
    h.Add(c);
  if (last != nullptr) h.Add(*last);
  return h.Value();
}

// A set of distinct words with look-up by hash; open addressing, linear probing.
class WordSet {
 public:
  void Clear();
  // Adds the word unless it is there already; returns whether it was added.
  bool Insert(TextView word);
  bool Contains(TextView word) const;
  // The same with the word's HashWord already known.
  bool Contains(TextView word, uint32_t hash) const;
  int32_t Size() const { return static_cast<int32_t>(words_.size()); }

 private:
  struct Slot {
    uint32_t hash = 0;
    int32_t index = -1;  // into words_, -1 when the slot is free
  };
  int32_t FindSlot(TextView word, uint32_t hash) const;
  void Grow();

  std::vector<Text> words_;
  std::vector<Slot> slots_;
};

}  // namespace tw
