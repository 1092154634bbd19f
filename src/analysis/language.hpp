// The choice of a document's common-words language: the language its first lines declare,
// else the language its own words are recognised as, else English.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/error.hpp"
#include "io/document.hpp"
#include "text/text.hpp"
#include "words/commonwords.hpp"

namespace tw {

enum class LanguageSource { Declared, Recognised, Default };

struct LanguageChoice {
  int32_t position = 0;  // 0 .. 5, a single language of cboLanguage
  LanguageSource source = LanguageSource::Default;

  bool operator==(const LanguageChoice&) const = default;
};

// Recognition reads at most this much of a document, and counts at most this many words.
inline constexpr size_t kRecognitionByteLimit = 256 * 1024;
inline constexpr int32_t kRecognitionWordLimit = 5000;
// The list with the most hits wins when it has at least this many hits and at least
// kRecognitionLeadNumerator / kRecognitionLeadDenominator times the hits of the runner-up.
inline constexpr int32_t kRecognitionMinHits = 5;
inline constexpr int32_t kRecognitionLeadNumerator = 3;
inline constexpr int32_t kRecognitionLeadDenominator = 2;

// The hits of each single-language list among the words of a document's text: the words
// that this list holds and none of the other five.
struct LanguageHits {
  std::array<int32_t, kAllLanguagesIndex> hits{};
  int32_t words = 0;
};

// Counts, among the words of the text of a document's first bytes (outside markup, scripts,
// styles, comments and PHP, cut as the scan cuts them; the first kRecognitionWordLimit
// words), those that exactly one of the six single-language lists holds.
LanguageHits CountLanguageHits(std::string_view firstBytes, bool isUtf8,
                               const CommonWords& commonWords);
// The position of the recognised language, or -1 when no list clearly wins.
int32_t RecogniseLanguage(const LanguageHits& hits);

// The language for a document: the declared one when its first 10 non-empty lines declare
// one of the six, else the recognised one, else English. Over a document that `document`
// has opened (what it reads stays held for the command's scan), failing when a read fails;
// or over a file name, where a file that cannot be read gets English.
Result<LanguageChoice> ChooseDocumentLanguage(DocumentReader& document, TextView name,
                                              const CommonWords& commonWords);
LanguageChoice ChooseDocumentLanguage(TextView path, const CommonWords& commonWords);

// "language: de (declared)", "language: fr (recognised)" or "language: en (default)".
std::string LanguageChoiceLine(const LanguageChoice& choice);

}  // namespace tw
