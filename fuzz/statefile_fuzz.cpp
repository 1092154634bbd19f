// The state file reader: the input is the file.
//
// Properties: a refused file leaves the settings as they were; what is read lies within the
// window's lists and boxes, with the words-to-ignore list made from its box; what is read
// comes back the same after it is saved and read again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/statefile.hpp"
#include "core/language.hpp"
#include "core/number.hpp"
#include "support.hpp"

namespace tw::fuzz {
namespace {

bool InList(int32_t position, int32_t items) {
  return position >= 0 && position < items;
}

void CheckRead(const AnalysisSettings& s) {
  FUZZ_CHECK(InList(s.cboShortWordSize, 9) && InList(s.cboThresholdFrequency, 9));
  FUZZ_CHECK(InList(s.cboTitleWeight, 9) && InList(s.cboDescriptionWeight, 9));
  FUZZ_CHECK(InList(s.cboExistingKeywordsWeight, 10) && InList(s.cboBoldWeight, 9));
  FUZZ_CHECK(InList(s.cboItalicWeight, 9) && InList(s.cboTableWeight, 10));
  FUZZ_CHECK(InList(s.cboDivWeight, 10) && InList(s.cboSpanWeight, 10));
  FUZZ_CHECK(s.cboLanguage == kNoSelection || InList(s.cboLanguage, intNumCommonWordsLanguages));
  FUZZ_CHECK(s.txbMaxNumKeywordsInMetaTag.size() <= static_cast<size_t>(kNumberBoxMaxChars));
  FUZZ_CHECK(s.txbMaxNumBytesInMetaTag.size() <= static_cast<size_t>(kNumberBoxMaxChars));
  const int64_t keywords = LeadingWholeNumber(s.txbMaxNumKeywordsInMetaTag);
  FUZZ_CHECK(keywords >= intMinNumKeywords && keywords <= intMaxNumKeywords);
  FUZZ_CHECK(LeadingWholeNumber(s.txbMaxNumBytesInMetaTag) <= intMaxNumBytes);
  Text box = s.txbWordsToIgnore;
  FUZZ_CHECK(NormaliseWordsToIgnore(box) == s.strWordsToIgnoreList);
  FUZZ_CHECK(box == s.txbWordsToIgnore);
}

}  // namespace
}  // namespace tw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tw;
  using namespace tw::fuzz;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  AnalysisSettings before;
  before.txbInputFile = u"before.html";
  before.chkLargeWindow = true;
  AnalysisSettings settings = before;
  if (!LoadState(WriteScratchFile("state.usr", bytes), settings)) {
    FUZZ_CHECK(settings == before);
    return 0;
  }
  CheckRead(settings);
  FUZZ_CHECK(settings.chkLargeWindow);  // not a line of the file

  AnalysisSettings again = before;
  FUZZ_CHECK(LoadState(WriteScratchFile("saved.usr", StateFileText(settings)), again));
  FUZZ_CHECK(again == settings);
  return 0;
}
