// The main window's controls as plain data: their names, kinds, captions and places in
// twips, and the state a view needs to draw one (Control).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "text/text.hpp"

namespace tw {

// Every control of frmMain, in the order of its layout table. The ten controls after Frame1
// sit inside Frame1; their places are relative to it.
enum class ControlId : int32_t {
  cmdInputFile,
  txbInputFile,
  cmdClearInputFile,
  chkIgnoreCommonWords,
  cboLanguage,
  chkIgnoreShortWords,
  cboShortWordSize,
  lblCharsOrLess,
  lblTitleWeight,
  cboTitleWeight,
  lblBoldWeight,
  cboBoldWeight,
  lblTableWeight,
  cboTableWeight,
  lblDescriptionWeight,
  cboDescriptionWeight,
  lblItalicWeight,
  cboItalicWeight,
  lblDivWeight,
  cboDivWeight,
  lblExistingkeywordsWeight,
  cboExistingKeywordsWeight,
  lblThresholdFrequency,
  cboThresholdFrequency,
  lblSpanWeight,
  cboSpanWeight,
  chkPreserveCase,
  chkSpaceAfterComma,
  cmdReset,
  lblIgnoreTheseWords,
  txbWordsToIgnore,
  cmdClearWordsToIgnore,
  lblBeginMetaTagWith,
  txbBeginMetaTagWith,
  cmdClearBeginMetaTagWith,
  lblMaxNumKeywords,
  txbMaxNumKeywordsInMetaTag,
  lblMaxNumBytes,
  txbMaxNumBytesInMetaTag,
  cmdShowExistingKeywordMetaTag,
  cmdListWords,
  cmdGenerateKeywordMetaTag,
  cmdHelp,
  chkLargeWindow,
  chkShowWordsAsFound,
  lblNumberOfWords2,
  lblNumberOfWords,
  txbMetaTag,
  Frame1,
  // Inside Frame1.
  cmdClearOutput,
  cmdCopyToClipboard,
  cmdInsert,
  cmdQuit,
  optInsertionWithBackup,
  optInsertionWithoutBackup,
  lblCopyrightNotice,
  lblQuillmark,
  lblQM_URL,
  lblOnlineDocumentation,
  None,  // no control (nothing has the focus; a control on the window itself)
};

inline constexpr int32_t kNumControls = static_cast<int32_t>(ControlId::None);

inline constexpr int32_t ControlIndex(ControlId id) {
  return static_cast<int32_t>(id);
}
inline constexpr ControlId ControlAt(int32_t index) {
  return static_cast<ControlId>(index);
}

enum class ControlKind { Button, TextBox, CheckBox, OptionButton, List, Label, Frame };

// Colours as 0xRRGGBB.
inline constexpr uint32_t kWindowBackColour = 0xC0FFC0;  // RGB(192, 255, 192)
inline constexpr uint32_t kDefaultForeColour = 0x000000;
inline constexpr uint32_t kLinkForeColour = 0x0000FF;
inline constexpr uint32_t kDarkRedForeColour = 0x800000;

// Fonts.
inline constexpr TextView kWindowFont = u"Tahoma";
inline constexpr TextView kTextBoxFont = u"Courier New";
inline constexpr TextView kNumberBoxFont = u"MS Sans Serif";
inline constexpr TextView kControlFont = u"Arial";

// Window size in twips (1/1440 inch). The window height is the outer height, title bar and
// borders included; at the design size the output box is as high as its layout table says.
inline constexpr int32_t kTwipsPerPixelAt96Dpi = 15;
inline constexpr int32_t kClientWidth = 9645;
inline constexpr int32_t kClientHeight = 8190;
inline constexpr int32_t kTitleAndBorderHeight = 415;
inline constexpr int32_t kNormalWindowHeight = kClientHeight + kTitleAndBorderHeight;

// One row of the layout table.
struct ControlSpec {
  ControlId id;
  ControlKind kind;
  TextView name;
  TextView caption;
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
};

// The layout table of the window, in ControlId order.
extern const std::array<ControlSpec, kNumControls> kControlSpecs;

const ControlSpec& SpecOf(ControlId id);
// The container of a control: Frame1 for the ten controls inside it, else None (the window).
ControlId ParentOf(ControlId id);

// What a view needs to draw one control now.
struct Control {
  ControlId id = ControlId::None;
  ControlKind kind = ControlKind::Label;
  TextView name;
  ControlId parent = ControlId::None;
  // Caption of a button, label, check box or option button; contents of a text box.
  Text text;
  // Check boxes and option buttons.
  bool checked = false;
  // Lists: the items and the 0-based position of the selected one (-1 when none).
  std::vector<Text> items;
  int32_t selected = -1;
  bool enabled = true;
  bool visible = true;
  bool focused = false;
  Text tooltip;
  // Place in twips, relative to the parent.
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  Text fontName;
  uint32_t foreColour = kDefaultForeColour;
  // Text boxes: the most characters the user may type (0: no limit), read-only, multi-line
  // with a vertical scroll bar.
  int32_t maxLength = 0;
  bool readOnly = false;
  bool multiLine = false;
  // Labels that open an address when clicked.
  bool link = false;
};

}  // namespace tw
