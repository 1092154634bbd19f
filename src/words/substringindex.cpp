// Suffix automaton over 16-bit characters, built one character at a time.
#include "words/substringindex.hpp"

namespace tw {

namespace {
constexpr int32_t kNone = -1;
}  // namespace

SubstringIndex::SubstringIndex() {
  Clear();
}

void SubstringIndex::Clear() {
  states_.assign(1, State{});
  last_ = 0;
}

int32_t SubstringIndex::Next(int32_t state, char16_t c) const {
  for (const auto& [ch, target] : states_[state].next) {
    if (ch == c) return target;
  }
  return kNone;
}

void SubstringIndex::SetNext(int32_t state, char16_t c, int32_t target) {
  for (auto& [ch, to] : states_[state].next) {
    if (ch == c) {
      to = target;
      return;
    }
  }
  states_[state].next.emplace_back(c, target);
}

void SubstringIndex::Append(char16_t c) {
  const auto current = static_cast<int32_t>(states_.size());
  states_.push_back(State{states_[last_].length + 1, kNone, {}});
  int32_t p = last_;
  while (p != kNone && Next(p, c) == kNone) {
    SetNext(p, c, current);
    p = states_[p].link;
  }
  if (p == kNone) {
    states_[current].link = 0;
  } else {
    const int32_t q = Next(p, c);
    if (states_[p].length + 1 == states_[q].length) {
      states_[current].link = q;
    } else {
      const auto clone = static_cast<int32_t>(states_.size());
      State copy = states_[q];
      copy.length = states_[p].length + 1;
      states_.push_back(std::move(copy));
      while (p != kNone && Next(p, c) == q) {
        SetNext(p, c, clone);
        p = states_[p].link;
      }
      states_[q].link = clone;
      states_[current].link = clone;
    }
  }
  last_ = current;
}

void SubstringIndex::Append(TextView text) {
  for (char16_t c : text)
    Append(c);
}

bool SubstringIndex::Contains(TextView word) const {
  int32_t state = 0;
  for (char16_t c : word) {
    state = Next(state, c);
    if (state == kNone) return false;
  }
  return true;
}

}  // namespace tw
