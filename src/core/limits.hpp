// The fixed limits of an analysis: the accepted ranges of the two number boxes and the
// longest word that may enter the word table.
#pragma once

#include <cstdint>

namespace tw {

inline constexpr int32_t intDefaultMaxNumKeywords = 50;
inline constexpr int32_t intMinNumKeywords = 5;
inline constexpr int32_t intMaxNumKeywords = 100;
inline constexpr int32_t intDefaultMaxNumBytes = 500;
inline constexpr int32_t intMaxNumBytes = 1000;
inline constexpr int32_t intMaxWordLength = 60;

}  // namespace tw
