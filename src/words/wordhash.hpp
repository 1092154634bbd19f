// Hashing of words and a compact set of words, for the look-ups that must not scan a list
// (word table entries, common words).
#pragma once

#include <cstdint>
#include <vector>

#include "text/text.hpp"

namespace tw {

// A 32-bit hash of a word.
uint32_t HashWord(TextView word);
// The hash of `head` followed by the character `last` (none when null), without building it.
uint32_t HashWord(TextView head, const char16_t* last);

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
