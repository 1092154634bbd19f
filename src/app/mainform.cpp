// The main window's logic: control state, what the view reads and forwards, value changes
// with their notifications, and the host side of the analysis run.
#include "app/mainform.hpp"

#include <utility>

#include "text/strproc.hpp"

namespace tw {

namespace {

using C = ControlId;

// The check boxes and lists whose values are settings; `S` is AnalysisSettings, const or not.
template <class S>
auto CheckField(S& s, ControlId id) -> decltype(&s.chkIgnoreShortWords) {
  switch (id) {
    case C::chkIgnoreCommonWords:
      return &s.chkIgnoreCommonWords;
    case C::chkIgnoreShortWords:
      return &s.chkIgnoreShortWords;
    case C::chkPreserveCase:
      return &s.chkPreserveCase;
    case C::chkSpaceAfterComma:
      return &s.chkSpaceAfterComma;
    case C::chkShowWordsAsFound:
      return &s.chkShowWordsAsFound;
    case C::chkLargeWindow:
      return &s.chkLargeWindow;
    default:
      return nullptr;
  }
}

template <class S>
auto ListField(S& s, ControlId id) -> decltype(&s.cboLanguage) {
  switch (id) {
    case C::cboLanguage:
      return &s.cboLanguage;
    case C::cboShortWordSize:
      return &s.cboShortWordSize;
    case C::cboThresholdFrequency:
      return &s.cboThresholdFrequency;
    case C::cboTitleWeight:
      return &s.cboTitleWeight;
    case C::cboDescriptionWeight:
      return &s.cboDescriptionWeight;
    case C::cboExistingKeywordsWeight:
      return &s.cboExistingKeywordsWeight;
    case C::cboBoldWeight:
      return &s.cboBoldWeight;
    case C::cboItalicWeight:
      return &s.cboItalicWeight;
    case C::cboTableWeight:
      return &s.cboTableWeight;
    case C::cboDivWeight:
      return &s.cboDivWeight;
    case C::cboSpanWeight:
      return &s.cboSpanWeight;
    default:
      return nullptr;
  }
}

template <class S>
auto TextField(S& s, ControlId id) -> decltype(&s.txbInputFile) {
  switch (id) {
    case C::txbInputFile:
      return &s.txbInputFile;
    case C::txbBeginMetaTagWith:
      return &s.txbBeginMetaTagWith;
    case C::txbWordsToIgnore:
      return &s.txbWordsToIgnore;
    case C::txbMaxNumKeywordsInMetaTag:
      return &s.txbMaxNumKeywordsInMetaTag;
    case C::txbMaxNumBytesInMetaTag:
      return &s.txbMaxNumBytesInMetaTag;
    default:
      return nullptr;
  }
}

bool IsNumberBox(ControlId id) {
  return id == C::txbMaxNumKeywordsInMetaTag || id == C::txbMaxNumBytesInMetaTag;
}

bool IsOption(ControlId id) {
  return id == C::optInsertionWithBackup || id == C::optInsertionWithoutBackup;
}

TextView InitialFont(ControlId id, ControlKind kind) {
  if (kind != ControlKind::TextBox) return kWindowFont;
  return IsNumberBox(id) ? kNumberBoxFont : kTextBoxFont;
}

}  // namespace

MainForm::MainForm(Ui& ui, std::filesystem::path dataFolder)
    : ui_(ui), dataFolder_(std::move(dataFolder)), analysis_(texts_, commonWords_) {
  InitialiseControls();
}

MainForm::~MainForm() = default;

void MainForm::InitialiseControls() {
  for (const ControlSpec& spec : kControlSpecs) {
    ControlState& state = State(spec.id);
    state.caption = Text(spec.caption);
    state.top = spec.top;
    state.height = spec.height;
    state.fontName = Text(InitialFont(spec.id, spec.kind));
  }
}

// ---- What a view reads ------------------------------------------------------------------

Control MainForm::GetControl(ControlId id) const {
  Control c;
  if (id == C::None) return c;
  const ControlSpec& spec = SpecOf(id);
  const ControlState& state = State(id);
  c.id = id;
  c.kind = spec.kind;
  c.name = spec.name;
  c.parent = ParentOf(id);
  c.text = ControlText(id);
  c.checked = ControlChecked(id);
  c.items = state.items;
  c.selected = ControlSelected(id);
  c.enabled = state.enabled;
  c.visible = state.visible;
  c.focused = focus_ == id;
  c.tooltip = state.tooltip;
  c.left = spec.left;
  c.top = state.top;
  c.width = spec.width;
  c.height = state.height;
  c.fontName = state.fontName;
  if (id == C::lblNumberOfWords) c.foreColour = kDarkRedForeColour;
  c.link = id == C::lblQuillmark || id == C::lblOnlineDocumentation;
  if (c.link) c.foreColour = kLinkForeColour;
  c.maxLength = IsNumberBox(id) ? kNumberBoxMaxChars : 0;
  c.readOnly = id == C::txbInputFile;
  c.multiLine = id == C::txbMetaTag;
  return c;
}

const Text& MainForm::ControlText(ControlId id) const {
  static const Text kNoText;
  if (id == C::None) return kNoText;
  if (id == C::txbMetaTag) return output_;
  if (const Text* field = TextField(settings_, id)) return *field;
  return State(id).caption;
}

bool MainForm::ControlChecked(ControlId id) const {
  if (id == C::optInsertionWithBackup) return settings_.optInsertionWithBackup;
  if (id == C::optInsertionWithoutBackup) return !settings_.optInsertionWithBackup;
  const bool* field = CheckField(settings_, id);
  return field != nullptr && *field;
}

int32_t MainForm::ControlSelected(ControlId id) const {
  const int32_t* field = ListField(settings_, id);
  return field != nullptr ? *field : kNoSelection;
}

bool MainForm::ControlEnabled(ControlId id) const {
  return State(id).enabled;
}
bool MainForm::ControlVisible(ControlId id) const {
  return State(id).visible;
}

bool MainForm::RunInProgress() const {
  return analysis_.Running();
}

// ---- What a view forwards -----------------------------------------------------------------

bool MainForm::Usable(ControlId id) const {
  return id != C::None && State(id).enabled && State(id).visible;
}

void MainForm::UserClick(ControlId id) {
  if (!Usable(id)) return;
  switch (id) {
    case C::cmdInputFile:
      cmdInputFile_Click();
      break;
    case C::txbInputFile:
      txbInputFile_Click();
      break;
    case C::cmdClearInputFile:
      cmdClearInputFile_Click();
      break;
    case C::cmdClearWordsToIgnore:
      cmdClearWordsToIgnore_Click();
      break;
    case C::cmdClearBeginMetaTagWith:
      cmdClearBeginMetaTagWith_Click();
      break;
    case C::cmdClearOutput:
      cmdClearOutput_Click();
      break;
    case C::cmdCopyToClipboard:
      cmdCopyToClipboard_Click();
      break;
    case C::cmdReset:
      cmdReset_Click();
      break;
    case C::cmdHelp:
      cmdHelp_Click();
      break;
    case C::cmdListWords:
      cmdListWords_Click();
      break;
    case C::cmdGenerateKeywordMetaTag:
      cmdGenerateKeywordMetaTag_Click();
      break;
    case C::cmdShowExistingKeywordMetaTag:
      cmdShowExistingKeywordMetaTag_Click();
      break;
    case C::cmdInsert:
      cmdInsert_Click();
      break;
    case C::cmdQuit:
      cmdQuit_Click();
      break;
    case C::lblQuillmark:
      lblQuillmark_Click();
      break;
    case C::lblOnlineDocumentation:
      lblOnlineDocumentation_Click();
      break;
    default:
      break;
  }
}

void MainForm::UserSetChecked(ControlId id, bool checked) {
  if (!Usable(id)) return;
  if (IsOption(id)) {
    // An option button is selected by a click; it is never unselected by one.
    if (!checked) {
      ui_.ControlChanged(id);
      return;
    }
    SetChecked(id, true, Change::ByUser);
    return;
  }
  if (CheckField(settings_, id) == nullptr) return;
  SetChecked(id, checked, Change::ByUser);
}

void MainForm::UserSelect(ControlId id, int32_t position) {
  if (!Usable(id)) return;
  if (ListField(settings_, id) == nullptr) return;
  if (position < kNoSelection || position >= static_cast<int32_t>(State(id).items.size())) {
    ui_.ControlChanged(id);
    return;
  }
  SetSelected(id, position, Change::ByUser);
}

void MainForm::UserEditText(ControlId id, Text text) {
  if (!Usable(id) || id == C::txbInputFile) return;
  if (id == C::txbMetaTag) {
    output_ = std::move(text);
    return;
  }
  if (TextField(settings_, id) == nullptr) return;
  SetText(id, std::move(text), Change::ByUser);
}

void MainForm::UserFocus(ControlId id) {
  if (id == focus_) return;
  ControlId previous = focus_;
  focus_ = id;
  if (previous != C::None) ui_.ControlChanged(previous);
  if (id != C::None) ui_.ControlChanged(id);
  switch (previous) {
    case C::txbMaxNumKeywordsInMetaTag:
      txbMaxNumKeywordsInMetaTag_LostFocus();
      break;
    case C::txbMaxNumBytesInMetaTag:
      txbMaxNumBytesInMetaTag_LostFocus();
      break;
    case C::txbWordsToIgnore:
      txbWordsToIgnore_LostFocus();
      break;
    case C::txbBeginMetaTagWith:
      txbBeginMetaTagWith_LostFocus();
      break;
    default:
      break;
  }
}

void MainForm::UserF1Released() {
  Form_F1Released();
}

void MainForm::UserClose() {
  Form_QueryUnload();
}

// ---- Value changes --------------------------------------------------------------------

void MainForm::ValueChanged(ControlId id, Change change) {
  if (change == Change::ByUser) return;  // the view shows what the user did
  if (IsOption(id)) {
    ui_.ControlChanged(C::optInsertionWithBackup);
    ui_.ControlChanged(C::optInsertionWithoutBackup);
    return;
  }
  ui_.ControlChanged(id);
}

void MainForm::SetChecked(ControlId id, bool checked, Change change) {
  if (IsOption(id)) {
    if (!checked) return;
    const bool withBackup = id == C::optInsertionWithBackup;
    if (settings_.optInsertionWithBackup == withBackup) return;
    settings_.optInsertionWithBackup = withBackup;
    ValueChanged(id, change);
    RunChangeHandler(id);
    return;
  }
  bool* field = CheckField(settings_, id);
  if (field == nullptr || *field == checked) return;
  *field = checked;
  ValueChanged(id, change);
  RunChangeHandler(id);
}

void MainForm::SetSelected(ControlId id, int32_t position, Change change) {
  int32_t* field = ListField(settings_, id);
  if (field == nullptr || *field == position) return;
  *field = position;
  ValueChanged(id, change);
  RunChangeHandler(id);
}

void MainForm::SetText(ControlId id, Text text, Change change) {
  if (id == C::txbMetaTag) {
    SetOutputText(std::move(text));
    return;
  }
  Text* field = TextField(settings_, id);
  if (field == nullptr) return;
  if (IsNumberBox(id) && static_cast<int32_t>(text.size()) > kNumberBoxMaxChars) {
    text = LeftChars(text, kNumberBoxMaxChars);
    change = Change::ByProgram;  // the box shows less than was put in
  }
  if (*field == text) return;
  *field = std::move(text);
  if (id == C::txbWordsToIgnore && field->empty()) settings_.strWordsToIgnoreList.clear();
  ValueChanged(id, change);
}

void MainForm::SetCaption(ControlId id, TextView caption) {
  ControlState& state = State(id);
  if (state.caption == caption) return;
  state.caption = Text(caption);
  ui_.ControlChanged(id);
}

void MainForm::SetEnabled(ControlId id, bool enabled) {
  ControlState& state = State(id);
  if (state.enabled == enabled) return;
  state.enabled = enabled;
  ui_.ControlChanged(id);
}

void MainForm::SetVisible(ControlId id, bool visible) {
  ControlState& state = State(id);
  if (state.visible == visible) return;
  state.visible = visible;
  ui_.ControlChanged(id);
}

void MainForm::SetFocus(ControlId id) {
  if (id == focus_) return;
  ControlId previous = focus_;
  focus_ = id;
  if (previous != C::None) ui_.ControlChanged(previous);
  if (id != C::None) ui_.ControlChanged(id);
}

void MainForm::FocusBoxWithCaretAtEnd(ControlId id) {
  SetFocus(id);
  ui_.MoveCaret(id, static_cast<int32_t>(ControlText(id).size()));
}

void MainForm::EnableClearButton(ControlId clearButton, ControlId box) {
  SetEnabled(clearButton, !ControlText(box).empty());
}

void MainForm::RunChangeHandler(ControlId id) {
  switch (id) {
    case C::chkIgnoreCommonWords:
      chkIgnoreCommonWords_Click();
      break;
    case C::chkIgnoreShortWords:
      chkIgnoreShortWords_Click();
      break;
    case C::chkPreserveCase:
      chkPreserveCase_Click();
      break;
    case C::chkSpaceAfterComma:
      chkSpaceAfterComma_Click();
      break;
    case C::chkShowWordsAsFound:
      chkShowWordsAsFound_Click();
      break;
    case C::chkLargeWindow:
      chkLargeWindow_Click();
      break;
    case C::optInsertionWithBackup:
      optInsertionWithBackup_Click();
      break;
    case C::optInsertionWithoutBackup:
      optInsertionWithoutBackup_Click();
      break;
    case C::cboLanguage:
      cboLanguage_Click();
      break;
    case C::cboShortWordSize:
      cboShortWordSize_Click();
      break;
    case C::cboThresholdFrequency:
      cboThresholdFrequency_Click();
      break;
    case C::cboTitleWeight:
      cboTitleWeight_Click();
      break;
    case C::cboDescriptionWeight:
      cboDescriptionWeight_Click();
      break;
    case C::cboExistingKeywordsWeight:
      cboExistingKeywordsWeight_Click();
      break;
    case C::cboBoldWeight:
      cboBoldWeight_Click();
      break;
    case C::cboItalicWeight:
      cboItalicWeight_Click();
      break;
    case C::cboTableWeight:
      cboTableWeight_Click();
      break;
    case C::cboDivWeight:
      cboDivWeight_Click();
      break;
    case C::cboSpanWeight:
      cboSpanWeight_Click();
      break;
    default:
      break;
  }
}

void MainForm::ApplySettings(const AnalysisSettings& target) {
  SetText(C::txbInputFile, target.txbInputFile);
  SetText(C::txbBeginMetaTagWith, target.txbBeginMetaTagWith);
  SetText(C::txbWordsToIgnore, target.txbWordsToIgnore);
  settings_.strWordsToIgnoreList = target.strWordsToIgnoreList;
  SetChecked(C::chkShowWordsAsFound, target.chkShowWordsAsFound);
  SetChecked(C::chkIgnoreShortWords, target.chkIgnoreShortWords);
  SetChecked(C::chkIgnoreCommonWords, target.chkIgnoreCommonWords);
  SetChecked(C::chkPreserveCase, target.chkPreserveCase);
  SetChecked(C::chkSpaceAfterComma, target.chkSpaceAfterComma);
  SetChecked(
      target.optInsertionWithBackup ? C::optInsertionWithBackup : C::optInsertionWithoutBackup,
      true);
  SetSelected(C::cboTitleWeight, target.cboTitleWeight);
  SetSelected(C::cboDescriptionWeight, target.cboDescriptionWeight);
  SetSelected(C::cboExistingKeywordsWeight, target.cboExistingKeywordsWeight);
  SetSelected(C::cboBoldWeight, target.cboBoldWeight);
  SetSelected(C::cboItalicWeight, target.cboItalicWeight);
  SetSelected(C::cboTableWeight, target.cboTableWeight);
  SetSelected(C::cboDivWeight, target.cboDivWeight);
  SetSelected(C::cboSpanWeight, target.cboSpanWeight);
  SetSelected(C::cboShortWordSize, target.cboShortWordSize);
  SetSelected(C::cboThresholdFrequency, target.cboThresholdFrequency);
  SetSelected(C::cboLanguage, target.cboLanguage);
  SetChecked(C::chkLargeWindow, target.chkLargeWindow);
  SetText(C::txbMaxNumKeywordsInMetaTag, target.txbMaxNumKeywordsInMetaTag);
  SetText(C::txbMaxNumBytesInMetaTag, target.txbMaxNumBytesInMetaTag);
}

// ---- RunHost --------------------------------------------------------------------------

void MainForm::SetOutputText(Text text) {
  output_ = std::move(text);
  ui_.ControlChanged(C::txbMetaTag);
}

void MainForm::AppendOutputText(TextView text) {
  if (text.empty()) return;
  output_ += text;
  ui_.OutputAppended(text);
}

void MainForm::RepaintOutput() {
  ui_.Repaint(C::txbMetaTag);
}

void MainForm::MoveOutputCaretToEnd() {
  ui_.MoveCaret(C::txbMetaTag, static_cast<int32_t>(output_.size()));
}

void MainForm::MoveOutputCaretToStart() {
  ui_.MoveCaret(C::txbMetaTag, 0);
}

void MainForm::SetWordCountLabels(TextView caption, TextView count) {
  SetCaption(C::lblNumberOfWords2, caption);
  SetCaption(C::lblNumberOfWords, count);
  ui_.Repaint(C::lblNumberOfWords2);
  ui_.Repaint(C::lblNumberOfWords);
}

void MainForm::SetListWordsCaption(TextView caption) {
  SetCaption(C::cmdListWords, caption);
}

void MainForm::SetControlsEnabled(bool enable) {
  for (int32_t i = 0; i < kNumControls; ++i) {
    ControlId id = ControlAt(i);
    if (id != C::Frame1) SetEnabled(id, enable);
  }
  if (enable) {
    EnableClearButton(C::cmdClearInputFile, C::txbInputFile);
    EnableClearButton(C::cmdClearWordsToIgnore, C::txbWordsToIgnore);
    EnableClearButton(C::cmdClearBeginMetaTagWith, C::txbBeginMetaTagWith);
  }
  for (ControlId id : {C::cmdQuit, C::lblNumberOfWords, C::lblNumberOfWords2, C::chkLargeWindow,
                       C::chkShowWordsAsFound, C::txbMetaTag, C::cmdListWords}) {
    SetEnabled(id, true);
  }
  controlsLocked_ = !enable;
  ui_.RepaintWindow();
}

void MainForm::PlaceDefaultFocus() {
  if (!window_.visible || !settings_.txbInputFile.empty()) return;
  for (ControlId id : {C::cmdInputFile, C::cmdGenerateKeywordMetaTag, C::cmdQuit}) {
    if (State(id).visible && State(id).enabled) {
      SetFocus(id);
      return;
    }
  }
}

MsgAnswer MainForm::ShowMessage(const Message& message) {
  return ui_.ShowMessage(message);
}

void MainForm::Yield() {
  ui_.ProcessEvents();
}

void MainForm::SetInputFileText(Text text) {
  SetText(C::txbInputFile, std::move(text));
}

void MainForm::SetBeginWithText(Text text) {
  SetText(C::txbBeginMetaTagWith, std::move(text));
}

}  // namespace tw
