// Hashing of words and a compact set of words.
#include "words/wordhash.hpp"

#include <algorithm>

namespace tw {

namespace {

constexpr size_t kInitialSlots = 64;

}  // namespace

void WordSet::Clear() {
  words_.clear();
  slots_.clear();
}

int32_t WordSet::FindSlot(TextView word, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  size_t p = hash & mask;
  while (slots_[p].index >= 0) {
    if (slots_[p].hash == hash) {
      const Text& held = words_[static_cast<size_t>(slots_[p].index)];
      if (held.size() == word.size() && std::equal(word.begin(), word.end(), held.begin())) break;
    }
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
