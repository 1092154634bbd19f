// The context in which the scanner hands a word over: what makes up the weight of the
// occurrence, and what the word table keeps of it.
#pragma once

#include <cstdint>

#include "core/options.hpp"

namespace tw {

struct OccurrenceContext {
  bool blnInTitle = false;
  bool blnInDescription = false;
  bool blnInExistingKeywords = false;
  bool blnBold = false;
  bool blnItalic = false;
  int32_t intHeadingWeight = 0;
  int32_t intFontSize = 3;
  int32_t intTableDepth = 0;
  int32_t intDivDepth = 0;
  int32_t intSpanDepth = 0;
};

// The weight of one occurrence in that context under those weights.
inline float OccurrenceWeight(const OccurrenceContext& context, const ContextWeights& weights) {
  if (context.blnInTitle) return static_cast<float>(weights.title);
  if (context.blnInDescription) return static_cast<float>(weights.description);
  if (context.blnInExistingKeywords) return static_cast<float>(weights.existingKeywords);
  int32_t weight = context.intFontSize + context.intHeadingWeight;
  if (context.blnBold) weight += weights.bold;
  if (context.blnItalic) weight += weights.italic;
  if (context.intTableDepth > 0) weight += weights.table;
  if (context.intDivDepth > 0) weight += weights.div;
  if (context.intSpanDepth > 0) weight += weights.span;
  return static_cast<float>(weight);
}

// What the table keeps of the context of an occurrence: its weight, and whether it stands in
// the title or a meta tag.
struct Occurrence {
  float weight = 0;
  bool fromTitleOrMeta = false;
};

inline Occurrence OccurrenceOf(const OccurrenceContext& context, const ContextWeights& weights) {
  return Occurrence{OccurrenceWeight(context, weights), context.blnInTitle ||
                                                            context.blnInDescription ||
                                                            context.blnInExistingKeywords};
}

}  // namespace tw
