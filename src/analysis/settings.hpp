// The settings that steer an analysis, as the window's controls hold them, with their
// defaults, the values their consumers receive, the fixed limits and the checks that run
// when the user leaves a number box. Window-free: the window binds its controls to these.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/language.hpp"
#include "core/limits.hpp"
#include "core/options.hpp"
#include "text/message.hpp"
#include "text/text.hpp"

namespace tw {

inline constexpr int32_t kNumberBoxMaxChars = 4;

// The items of the ten number lists, in the order they are filled.
struct ListItems {
  static std::array<Text, 9> OneToNine();      // "1" .. "9"
  static std::array<Text, 9> TenToNinety();    // "10" .. "90"
  static std::array<Text, 10> ZeroToNinety();  // "0", "10" .. "90"
  static std::array<Text, 10> ZeroToNine();    // "0" .. "9"
};

struct AnalysisSettings {
  // Text boxes.
  Text txbInputFile;
  Text txbBeginMetaTagWith;
  Text txbWordsToIgnore;
  Text txbMaxNumKeywordsInMetaTag = u"50";
  Text txbMaxNumBytesInMetaTag = u"500";
  // Lists: the 0-based position of the selected item.
  int32_t cboShortWordSize = 1;
  int32_t cboThresholdFrequency = 1;
  int32_t cboTitleWeight = 8;
  int32_t cboDescriptionWeight = 5;
  int32_t cboExistingKeywordsWeight = 0;
  int32_t cboBoldWeight = 4;
  int32_t cboItalicWeight = 4;
  int32_t cboTableWeight = 1;
  int32_t cboDivWeight = 2;
  int32_t cboSpanWeight = 2;
  int32_t cboLanguage = kNoSelection;
  // Check boxes and the option pair.
  bool chkIgnoreShortWords = true;
  bool chkIgnoreCommonWords = true;
  bool chkPreserveCase = true;
  bool chkSpaceAfterComma = true;
  bool chkShowWordsAsFound = false;
  bool optInsertionWithBackup = false;
  bool chkLargeWindow = false;
  // Derived: the normalised words-to-ignore text followed by one comma; empty when none.
  Text strWordsToIgnoreList;

  // The values the consumers receive.
  int32_t ShortWordSize() const { return cboShortWordSize + 1; }
  int32_t MinFrequency() const { return cboThresholdFrequency + 1; }
  int32_t TitleWeight() const { return 10 * cboTitleWeight; }
  int32_t DescriptionWeight() const { return 10 * cboDescriptionWeight; }
  int32_t ExistingKeywordsWeight() const { return 10 * cboExistingKeywordsWeight; }
  int32_t BoldWeight() const { return cboBoldWeight; }
  int32_t ItalicWeight() const { return cboItalicWeight; }
  int32_t TableWeight() const { return cboTableWeight; }
  int32_t DivWeight() const { return cboDivWeight; }
  int32_t SpanWeight() const { return cboSpanWeight; }

  bool operator==(const AnalysisSettings&) const = default;
};

// Every setting back to its default, except the language and the large window; the three
// texts (input file, begin-with, words to ignore) only when `clearTexts`. The caller also
// clears blnWordTableCurrent.
void RestoreDefaults(AnalysisSettings& s, bool clearTexts);

// Keeps digits and, in the allowed places, one leading sign.
Text CleanNumberText(TextView text, bool allowMinus);

// The check run when the user leaves a number box: the box text is rewritten in place and
// a message is returned when one must be shown (the box then also gets the focus back, with
// the caret after its last character). The keywords box falls back to "50" (silently when
// nothing numeric is left), the bytes box to "500"; an empty bytes box stays empty.
std::optional<Message> CheckMaxNumKeywords(Text& box);
std::optional<Message> CheckMaxNumBytes(Text& box);

// Lower-cases and tidies the words-to-ignore text ('  Foo  Bar,,baz, ' becomes 'foo,bar,baz');
// returns the list (text plus one comma), empty when the text is or becomes empty. The
// caller stores the list in strWordsToIgnoreList, clears blnWordTableCurrent and enables the
// Clear button (cmdClearWordsToIgnore) exactly when the box is not empty.
Text NormaliseWordsToIgnore(Text& box);

// The options of a run as the engine takes them, from the settings as the controls hold
// them now: the weights, filters and limits as their consumers receive them, the phrases
// that begin the tag trimmed, the two limits read as numbers (0 or less: no limit).
AnalysisOptions ResolveOptions(const AnalysisSettings& settings);

}  // namespace tw
