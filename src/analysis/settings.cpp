// The settings that steer an analysis: their list items, defaults and the checks that run
// when the user leaves a number box or the words-to-ignore box.
#include "analysis/settings.hpp"

#include <limits>

#include "core/number.hpp"

#include "text/chars.hpp"
#include "text/strproc.hpp"

namespace tw {

namespace {

constexpr int32_t kListStep = 10;

template <size_t N>
std::array<Text, N> NumberItems(int32_t first, int32_t step) {
  std::array<Text, N> items;
  for (size_t k = 0; k < N; ++k) {
    items[k] = NumberText(first + static_cast<int32_t>(k) * step);
  }
  return items;
}

const Text kMaxKeywordsCaption = u"Number of keywords";
const Text kMinKeywordsText = u"Minimum number of keywords in the meta tag is";
const Text kMaxKeywordsText = u"Maximum number of keywords in the meta tag is";
const Text kMaxBytesText = u"Maximum number of bytes in the meta tag is";

// The text of a limit message: the sentence, one space, the limit and a full stop.
Text LimitSentence(const Text& sentence, int32_t limit) {
  return sentence + u" " + NumberText(limit) + u".";
}

// The box holds at most four characters; a longer text set by the program is cut.
Text BoxText(TextView text) {
  return Text(text.substr(0, kNumberBoxMaxChars));
}

}  // namespace

std::array<Text, 9> ListItems::OneToNine() {
  return NumberItems<9>(1, 1);
}
std::array<Text, 9> ListItems::TenToNinety() {
  return NumberItems<9>(kListStep, kListStep);
}
std::array<Text, 10> ListItems::ZeroToNinety() {
  return NumberItems<10>(0, kListStep);
}
std::array<Text, 10> ListItems::ZeroToNine() {
  return NumberItems<10>(0, 1);
}

void RestoreDefaults(AnalysisSettings& s, bool clearTexts) {
  const AnalysisSettings defaults;
  if (clearTexts) {
    s.txbInputFile.clear();
    s.txbBeginMetaTagWith.clear();
    s.txbWordsToIgnore.clear();
  }
  s.chkShowWordsAsFound = defaults.chkShowWordsAsFound;
  s.chkIgnoreShortWords = defaults.chkIgnoreShortWords;
  s.chkIgnoreCommonWords = defaults.chkIgnoreCommonWords;
  s.chkPreserveCase = defaults.chkPreserveCase;
  s.chkSpaceAfterComma = defaults.chkSpaceAfterComma;
  s.optInsertionWithBackup = defaults.optInsertionWithBackup;
  s.cboTitleWeight = defaults.cboTitleWeight;
  s.cboDescriptionWeight = defaults.cboDescriptionWeight;
  s.cboExistingKeywordsWeight = defaults.cboExistingKeywordsWeight;
  s.cboBoldWeight = defaults.cboBoldWeight;
  s.cboItalicWeight = defaults.cboItalicWeight;
  s.cboTableWeight = defaults.cboTableWeight;
  s.cboDivWeight = defaults.cboDivWeight;
  s.cboSpanWeight = defaults.cboSpanWeight;
  s.cboShortWordSize = defaults.cboShortWordSize;
  s.cboThresholdFrequency = defaults.cboThresholdFrequency;
  s.txbMaxNumKeywordsInMetaTag = NumberText(intDefaultMaxNumKeywords);
  s.txbMaxNumBytesInMetaTag = NumberText(intDefaultMaxNumBytes);
}

Text CleanNumberText(TextView text, bool allowMinus) {
  Text result;
  result.reserve(text.size());
  bool digitSeen = false;
  bool plusSeen = false;
  bool minusSeen = false;
  for (char16_t c : text) {
    if (c >= u'0' && c <= u'9') {
      result.push_back(c);
      digitSeen = true;
    } else if (c == u'+' && !digitSeen && !plusSeen) {
      result.push_back(c);
      plusSeen = true;
    } else if (c == u'-' && allowMinus && !digitSeen && !minusSeen) {
      result.push_back(c);
      minusSeen = true;
    }
  }
  return result;
}

std::optional<Message> CheckMaxNumKeywords(Text& box) {
  box = BoxText(CleanNumberText(box, false));
  if (box.empty()) {
    box = NumberText(intDefaultMaxNumKeywords);
    return std::nullopt;
  }
  const int64_t n = LeadingWholeNumber(box);
  std::optional<Message> message;
  if (n < intMinNumKeywords) {
    message = Message{kMaxKeywordsCaption, LimitSentence(kMinKeywordsText, intMinNumKeywords),
                      MsgIcon::Information, MsgButtons::Ok};
  } else if (n > intMaxNumKeywords) {
    message = Message{kMaxKeywordsCaption, LimitSentence(kMaxKeywordsText, intMaxNumKeywords),
                      MsgIcon::Information, MsgButtons::Ok};
  }
  if (message) box = NumberText(intDefaultMaxNumKeywords);
  return message;
}

std::optional<Message> CheckMaxNumBytes(Text& box) {
  box = BoxText(CleanNumberText(box, false));
  if (!box.empty() && LeadingWholeNumber(box) > intMaxNumBytes) {
    box = NumberText(intDefaultMaxNumBytes);
    return Message{Text(), LimitSentence(kMaxBytesText, intMaxNumBytes), MsgIcon::None,
                   MsgButtons::Ok};
  }
  return std::nullopt;
}

Text NormaliseWordsToIgnore(Text& box) {
  if (box.empty()) return Text();
  Text s = TrimSpaces(ToLowerGeneral(box));
  if (!s.empty()) {
    for (char16_t& c : s) {
      if (c == u' ') c = u',';
    }
    Text collapsed;
    collapsed.reserve(s.size());
    for (char16_t c : s) {
      // Repeated replacing of ",," by "," leaves one comma of every run.
      if (c == u',' && !collapsed.empty() && collapsed.back() == u',') continue;
      collapsed.push_back(c);
    }
    s = std::move(collapsed);
    if (!s.empty() && s.back() == u',') s.pop_back();
  }
  box = s;
  // A text that is left empty gives an empty list, which matches no word.
  return s.empty() ? Text() : s + u",";
}

AnalysisOptions ResolveOptions(const AnalysisSettings& settings) {
  AnalysisOptions options;
  ScanOptions& scan = options.scan;
  scan.weights.title = settings.TitleWeight();
  scan.weights.description = settings.DescriptionWeight();
  scan.weights.existingKeywords = settings.ExistingKeywordsWeight();
  scan.weights.bold = settings.BoldWeight();
  scan.weights.italic = settings.ItalicWeight();
  scan.weights.table = settings.TableWeight();
  scan.weights.div = settings.DivWeight();
  scan.weights.span = settings.SpanWeight();
  scan.ignoreShortWords = settings.chkIgnoreShortWords;
  scan.shortWordSize = settings.ShortWordSize();
  scan.ignoreCommonWords = settings.chkIgnoreCommonWords;
  scan.language = LanguageAt(settings.cboLanguage);
  scan.wordsToIgnoreList = settings.strWordsToIgnoreList;
  scan.preserveCase = settings.chkPreserveCase;
  scan.minFrequency = settings.MinFrequency();

  TagOptions& tag = options.tag;
  tag.maxKeywords = LeadingWholeNumber(settings.txbMaxNumKeywordsInMetaTag);
  tag.maxBytes = LeadingWholeNumber(settings.txbMaxNumBytesInMetaTag);
  tag.beginWith = TrimSpaces(settings.txbBeginMetaTagWith);
  tag.preserveCase = settings.chkPreserveCase;
  tag.spaceAfterComma = settings.chkSpaceAfterComma;
  return options;
}

}  // namespace tw
