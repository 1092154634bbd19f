// What steers an analysis, as the engine takes it: resolved once per run from the settings
// that the window's controls hold, and passed down by const reference.
#pragma once

#include <cstdint>

#include "core/language.hpp"
#include "core/limits.hpp"
#include "text/text.hpp"

namespace tw {

// The weight of an occurrence in each context. A TABLE, DIV or SPAN weight of 0 skips the
// section's text; an existing-keywords weight of 0 skips the keywords meta tag's content.
struct ContextWeights {
  int32_t title = 80;
  int32_t description = 50;
  int32_t existingKeywords = 0;
  int32_t bold = 4;
  int32_t italic = 4;
  int32_t table = 1;
  int32_t div = 2;
  int32_t span = 2;

  bool operator==(const ContextWeights&) const = default;
};

// Everything a scan and the finished word table depend on. A table built with one set of
// scan options is current for another only when the two are equal.
struct ScanOptions {
  ContextWeights weights;
  bool ignoreShortWords = true;
  int32_t shortWordSize = 2;  // words of this many characters or fewer are short
  bool ignoreCommonWords = true;
  Language language = Language::None;
  // The normalised words to ignore, each followed by a comma; empty when none.
  Text wordsToIgnoreList;
  // Words keep their case; otherwise every line is lowered before it is scanned.
  bool preserveCase = true;
  int32_t minFrequency = 2;

  bool operator==(const ScanOptions&) const = default;
};

// What only shapes the tag that is built from a finished table.
struct TagOptions {
  // 0 or less: no limit.
  int64_t maxKeywords = intDefaultMaxNumKeywords;
  int64_t maxBytes = intDefaultMaxNumBytes;
  // The phrases that begin the tag, trimmed.
  Text beginWith;
  // The phrases keep their case; otherwise they are lowered.
  bool preserveCase = true;
  bool spaceAfterComma = true;

  bool operator==(const TagOptions&) const = default;
};

struct AnalysisOptions {
  ScanOptions scan;
  TagOptions tag;

  bool operator==(const AnalysisOptions&) const = default;
};

}  // namespace tw
