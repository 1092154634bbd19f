// The languages of the common-word lists: their positions in the language list (which are
// also the columns of the common-word table and name its files), their codes and names.
#pragma once

#include <array>
#include <cstdint>

#include "text/text.hpp"

namespace tw {

enum class Language : int32_t {
  None = -1,  // no language selected
  English = 0,
  French = 1,
  German = 2,
  Italian = 3,
  Portuguese = 4,
  Spanish = 5,
  AllSix = 6,  // the list of its own for the six together
};

inline constexpr int32_t intNumCommonWordsLanguages = 7;
inline constexpr int32_t kNumSingleLanguages = 6;
inline constexpr int32_t kNoSelection = static_cast<int32_t>(Language::None);
inline constexpr int32_t kEnglishLanguageIndex = static_cast<int32_t>(Language::English);
inline constexpr int32_t kFrenchLanguageIndex = static_cast<int32_t>(Language::French);
inline constexpr int32_t intGermanLanguageIndex = static_cast<int32_t>(Language::German);
inline constexpr int32_t kAllLanguagesIndex = static_cast<int32_t>(Language::AllSix);

// "en", "fr", "de", "it", "pt", "es", "en_de_es_pt_it_fr" by position.
extern const std::array<TextView, intNumCommonWordsLanguages> strLanguageCodes;
// "English" .. "All 6 languages" by position, as the language list shows them.
extern const std::array<TextView, intNumCommonWordsLanguages> kLanguageNames;

// The language at a list position; None for a position outside the list.
Language LanguageAt(int32_t position);
constexpr int32_t PositionOf(Language language) {
  return static_cast<int32_t>(language);
}

// Position 0 .. 5 of a two-letter code, compared in lower case; -1 for any other code.
int32_t LanguageIndexFromCode(TextView code);

}  // namespace tw
