// The word table exactly as the system's documents describe it: parallel entries in rank
// order, found by scanning, kept in order by one insertion step after every change. Slow on
// purpose; the fast table must always agree with it.
#pragma once

#include <vector>

#include "text/chars.hpp"
#include "words/wordtable.hpp"

namespace tw::test {

class LiteralTable {
 public:
  std::vector<WordEntry> entries;  // entries[0] is entry 1

  int32_t Count() const { return static_cast<int32_t>(entries.size()); }

  void RestoreOrder() {
    for (size_t c = 1; c < entries.size(); ++c) {
      if (entries[c].keyValue > entries[c - 1].keyValue) {
        size_t i = 0;
        while (!(entries[i].keyValue < entries[c].keyValue))
          ++i;
        WordEntry saved = entries[c];
        for (size_t k = c; k > i; --k)
          entries[k] = entries[k - 1];
        entries[i] = saved;
        return;
      }
    }
  }

  void MergePlural(Text& word) {
    for (WordEntry& e : entries) {
      if (e.word + u"s" == word) {
        word = e.word;
        return;
      }
      if (word + u"s" == e.word) {
        e.word = word;
        return;
      }
    }
  }

  void CountWord(Text& word, float weight, bool fromTitleOrMeta) {
    MergePlural(word);
    bool found = false;
    for (WordEntry& e : entries) {
      if (e.word == word) {
        ++e.frequency;
        e.keyValue += weight;
        found = true;
        break;
      }
    }
    if (!found) entries.push_back(WordEntry{word, weight, 1, fromTitleOrMeta});
    if (entries.size() > 1) RestoreOrder();
  }

  void CompactTable() {
    std::vector<WordEntry> kept;
    for (const WordEntry& e : entries) {
      if (!e.word.empty()) kept.push_back(e);
    }
    entries = kept;
  }

  void ApplyMinFrequency(int32_t f) {
    if (f <= 1) return;
    for (WordEntry& e : entries) {
      if (e.frequency < f && !e.fromTitleOrMeta) e = WordEntry{};
    }
    CompactTable();
  }

  static bool OnlyFirstMayBeUpper(const Text& w) {
    return w.size() > 2 && ToLowerGeneral(TextView(w).substr(1)) == TextView(w).substr(1);
  }

  void MergeCaseVariants() {
    const int32_t n = Count();
    for (int32_t i = 1; i <= n - 1; ++i) {
      if (i > Count()) continue;  // an empty position
      if (!OnlyFirstMayBeUpper(entries[i - 1].word)) continue;
      for (int32_t d = i + 1; d <= Count(); ++d) {
        const Text wi = entries[i - 1].word;
        const Text wd = entries[d - 1].word;
        if (!wd.empty() && ToLowerGeneral(wd) == ToLowerGeneral(wi) &&
            TextView(wd).substr(1) == TextView(wi).substr(1)) {
          entries[i - 1].frequency += entries[d - 1].frequency;
          entries[i - 1].keyValue += entries[d - 1].keyValue;
          entries[d - 1] = WordEntry{};
          entries[i - 1].word = ToLowerGeneral(entries[i - 1].word);
          CompactTable();
          RestoreOrder();
        }
      }
    }
  }

  void NormaliseKeyValues() {
    float m = 0;
    for (const WordEntry& e : entries)
      m = std::max(m, e.keyValue);
    if (!(m > 0)) return;
    for (WordEntry& e : entries) {
      e.keyValue = static_cast<float>(static_cast<double>(e.keyValue) * 100.0 / m);
    }
  }
};

}  // namespace tw::test
