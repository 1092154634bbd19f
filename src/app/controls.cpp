// The main window's layout table: every control's kind, caption and place in twips.
#include "app/controls.hpp"

namespace tw {

using K = ControlKind;
using C = ControlId;

const std::array<ControlSpec, kNumControls> kControlSpecs = {{
    {C::cmdInputFile, K::Button, u"cmdInputFile", u"Input file", 210, 105, 1380, 360},
    {C::txbInputFile, K::TextBox, u"txbInputFile", u"", 1650, 105, 7005, 330},
    {C::cmdClearInputFile, K::Button, u"cmdClearInputFile", u"Clear", 8715, 105, 720, 300},
    {C::chkIgnoreCommonWords, K::CheckBox, u"chkIgnoreCommonWords", u"Ignore common words in", 240,
     550, 3015, 330},
    {C::cboLanguage, K::List, u"cboLanguage", u"", 2800, 550, 1700, 315},
    {C::chkIgnoreShortWords, K::CheckBox, u"chkIgnoreShortWords", u"Ignore words with", 5355, 550,
     2010, 330},
    {C::cboShortWordSize, K::List, u"cboShortWordSize", u"", 7245, 550, 645, 315},
    {C::lblCharsOrLess, K::Label, u"lblCharsOrLess", u"characters or less", 7950, 550, 1695, 330},
    {C::lblTitleWeight, K::Label, u"lblTitleWeight", u"TITLE weight:", 210, 1075, 2325, 330},
    {C::cboTitleWeight, K::List, u"cboTitleWeight", u"", 2550, 1075, 645, 315},
    {C::lblBoldWeight, K::Label, u"lblBoldWeight", u"Bold/strong weight:", 4005, 1075, 2115, 330},
    {C::cboBoldWeight, K::List, u"cboBoldWeight", u"", 6100, 1075, 645, 315},
    {C::lblTableWeight, K::Label, u"lblTableWeight", u"TABLE weight:", 7410, 1075, 1590, 330},
    {C::cboTableWeight, K::List, u"cboTableWeight", u"", 8805, 1075, 645, 315},
    {C::lblDescriptionWeight, K::Label, u"lblDescriptionWeight", u"Description weight:", 210, 1493,
     2325, 330},
    {C::cboDescriptionWeight, K::List, u"cboDescriptionWeight", u"", 2550, 1493, 645, 315},
    {C::lblItalicWeight, K::Label, u"lblItalicWeight", u"Italic/emphasis weight:", 4005, 1493, 2430,
     330},
    {C::cboItalicWeight, K::List, u"cboItalicWeight", u"", 6100, 1493, 645, 315},
    {C::lblDivWeight, K::Label, u"lblDivWeight", u"DIV weight:", 7410, 1493, 1695, 330},
    {C::cboDivWeight, K::List, u"cboDivWeight", u"", 8805, 1493, 645, 315},
    {C::lblExistingkeywordsWeight, K::Label, u"lblExistingkeywordsWeight",
     u"Existing keywords weight:", 210, 1910, 2745, 330},
    {C::cboExistingKeywordsWeight, K::List, u"cboExistingKeywordsWeight", u"", 2550, 1910, 645,
     315},
    {C::lblThresholdFrequency, K::Label, u"lblThresholdFrequency", u"Minimum frequency for word:",
     3495, 2025, 2745, 330},
    {C::cboThresholdFrequency, K::List, u"cboThresholdFrequency", u"", 6105, 1910, 645, 315},
    {C::lblSpanWeight, K::Label, u"lblSpanWeight", u"SPAN weight:", 7410, 1910, 1695, 330},
    {C::cboSpanWeight, K::List, u"cboSpanWeight", u"", 8805, 1910, 645, 315},
    {C::chkPreserveCase, K::CheckBox, u"chkPreserveCase", u"Keep upper/lower case in keywords", 210,
     2475, 3585, 330},
    {C::chkSpaceAfterComma, K::CheckBox, u"chkSpaceAfterComma", u"Spaces after commas in meta tag",
     3990, 2475, 3480, 330},
    {C::cmdReset, K::Button, u"cmdReset", u"Restore defaults", 7770, 2475, 1660, 300},
    {C::lblIgnoreTheseWords, K::Label, u"lblIgnoreTheseWords", u"Ignore these words:", 210, 2985,
     2325, 330},
    {C::txbWordsToIgnore, K::TextBox, u"txbWordsToIgnore", u"", 2040, 2985, 6570, 330},
    {C::cmdClearWordsToIgnore, K::Button, u"cmdClearWordsToIgnore", u"Clear", 8715, 2985, 700, 300},
    {C::lblBeginMetaTagWith, K::Label, u"lblBeginMetaTagWith", u"Begin meta tag with:", 210, 3405,
     2325, 330},
    {C::txbBeginMetaTagWith, K::TextBox, u"txbBeginMetaTagWith", u"", 2040, 3405, 6570, 330},
    {C::cmdClearBeginMetaTagWith, K::Button, u"cmdClearBeginMetaTagWith", u"Clear", 8715, 3405, 700,
     300},
    {C::lblMaxNumKeywords, K::Label, u"lblMaxNumKeywords",
     u"Maximum number of keywords in meta tag:", 210, 3840, 3795, 330},
    {C::txbMaxNumKeywordsInMetaTag, K::TextBox, u"txbMaxNumKeywordsInMetaTag", u"", 4095, 3825, 540,
     330},
    {C::lblMaxNumBytes, K::Label, u"lblMaxNumBytes", u"Maximum number of bytes in meta tag:", 5325,
     3840, 3585, 330},
    {C::txbMaxNumBytesInMetaTag, K::TextBox, u"txbMaxNumBytesInMetaTag", u"", 8895, 3825, 540, 330},
    {C::cmdShowExistingKeywordMetaTag, K::Button, u"cmdShowExistingKeywordMetaTag",
     u"Show existing  keywords etc.", 210, 4245, 2955, 360},
    {C::cmdListWords, K::Button, u"cmdListWords", u"List words", 3360, 4245, 1275, 360},
    {C::cmdGenerateKeywordMetaTag, K::Button, u"cmdGenerateKeywordMetaTag",
     u"Generate/show keywords meta tag", 4830, 4245, 3600, 360},
    {C::cmdHelp, K::Button, u"cmdHelp", u"Help", 8610, 4245, 830, 330},
    {C::chkLargeWindow, K::CheckBox, u"chkLargeWindow", u"Large window", 210, 4680, 1815, 330},
    {C::chkShowWordsAsFound, K::CheckBox, u"chkShowWordsAsFound", u"Show words as found", 2000,
     4680, 2415, 330},
    {C::lblNumberOfWords2, K::Label, u"lblNumberOfWords2", u"", 4400, 4740, 4400, 330},
    {C::lblNumberOfWords, K::Label, u"lblNumberOfWords", u"", 8800, 4740, 600, 330},
    {C::txbMetaTag, K::TextBox, u"txbMetaTag", u"", 240, 5085, 9240, 2115},
    {C::Frame1, K::Frame, u"Frame1", u"", 210, 7290, 9255, 855},
    {C::cmdClearOutput, K::Button, u"cmdClearOutput", u"Clear", 0, 0, 991, 330},
    {C::cmdCopyToClipboard, K::Button, u"cmdCopyToClipboard", u"Copy to clipboard", 1440, 0, 2955,
     330},
    {C::cmdInsert, K::Button, u"cmdInsert", u"Insert meta tag into file", 4920, 0, 2955, 330},
    {C::cmdQuit, K::Button, u"cmdQuit", u"Quit", 8259, 0, 991, 330},
    {C::optInsertionWithBackup, K::OptionButton, u"optInsertionWithBackup", u"with", 5145, 395,
     1920, 330},
    {C::optInsertionWithoutBackup, K::OptionButton, u"optInsertionWithoutBackup", u"without backup",
     5985, 395, 1800, 330},
    {C::lblCopyrightNotice, K::Label, u"lblCopyrightNotice", u"", 0, 420, 1605, 300},
    {C::lblQuillmark, K::Label, u"lblQuillmark", u"Quillmark", 1680, 420, 1395, 300},
    {C::lblQM_URL, K::Label, u"lblQM_URL", u"", 3120, 420, 1485, 300},
    {C::lblOnlineDocumentation, K::Label, u"lblOnlineDocumentation", u"Online user manual", 6700,
     420, 2535, 300},
}};

const ControlSpec& SpecOf(ControlId id) {
  return kControlSpecs[ControlIndex(id)];
}

ControlId ParentOf(ControlId id) {
  return ControlIndex(id) > ControlIndex(ControlId::Frame1) ? ControlId::Frame1 : ControlId::None;
}

}  // namespace tw
