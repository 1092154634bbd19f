// The context in which the scanner hands a word over: what makes up the weight of the
// occurrence.
#pragma once

#include <cstdint>

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

}  // namespace tw
