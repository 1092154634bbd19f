// Answers whether a word occurs anywhere in a text that only grows at its end, in time
// proportional to the word's length (a suffix automaton of the text).
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "text/text.hpp"

namespace tw {

class SubstringIndex {
 public:
  SubstringIndex();
  void Clear();
  void Append(TextView text);
  void Append(char16_t c);
  // Whether `word` occurs in the text appended so far; the empty word always does.
  bool Contains(TextView word) const;

 private:
  struct State {
    int32_t length = 0;
    int32_t link = -1;
    std::vector<std::pair<char16_t, int32_t>> next;
  };
  int32_t Next(int32_t state, char16_t c) const;
  void SetNext(int32_t state, char16_t c, int32_t target);

  std::vector<State> states_;
  int32_t last_ = 0;
};

}  // namespace tw
