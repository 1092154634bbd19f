// The codes and names of the common-word languages.
#include "core/language.hpp"

#include "text/chars.hpp"

namespace tw {

const std::array<TextView, intNumCommonWordsLanguages> strLanguageCodes = {
    u"en", u"fr", u"de", u"it", u"pt", u"es", u"en_de_es_pt_it_fr"};

const std::array<TextView, intNumCommonWordsLanguages> kLanguageNames = {
    u"English", u"French", u"German", u"Italian", u"Portuguese", u"Spanish", u"All 6 languages"};

Language LanguageAt(int32_t position) {
  if (position < 0 || position >= intNumCommonWordsLanguages) return Language::None;
  return static_cast<Language>(position);
}

int32_t LanguageIndexFromCode(TextView code) {
  const Text lowered = ToLowerGeneral(code);
  for (int32_t position = 0; position < kNumSingleLanguages; ++position) {
    if (lowered == strLanguageCodes[static_cast<size_t>(position)]) return position;
  }
  return -1;
}

}  // namespace tw
