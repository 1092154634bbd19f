// The main window's commands and change handlers: the buttons, the link labels, the
// check boxes and lists, and the checks that run when the user leaves a text box.
#include <algorithm>
#include <exception>

#include "analysis/insertion.hpp"
#include "analysis/language.hpp"
#include "app/mainform.hpp"
#include "app/weblink.hpp"
#include "io/istextfile.hpp"
#include "tags/insert.hpp"
#include "tags/report.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"

namespace tw {

namespace {

using C = ControlId;

constexpr TextView kChooseFileTitle = u"Specify input file";
constexpr TextView kChooseFileFilter =
    u"HTML & PHP files (*.htm, *.html, *.shtml, *.php) | *.htm;*.html;*.shtml;*.php";

constexpr TextView kConfirmationCaption = u"Confirmation";
constexpr TextView kKeepCaseQuestion =
    u"For German text it is better to keep upper/lower case.\r\n\r\n"
    u"Are you sure you want all keywords in lower case?";

}  // namespace

// ---- Input file ------------------------------------------------------------------------

void MainForm::cmdInputFile_Click() {
  std::optional<Text> chosen = ui_.ChooseOpenFile(kChooseFileTitle, kChooseFileFilter);
  if (chosen && !chosen->empty()) TakeInputFile(std::move(*chosen));
  EnableClearButton(C::cmdClearInputFile, C::txbInputFile);
}

void MainForm::UserOpenFile(Text path) {
  // Only when the user could choose a file with the button: not during a run or start-up.
  if (path.empty() || !blnStartupCompleted || !Usable(C::cmdInputFile)) return;
  TakeInputFile(std::move(path));
  EnableClearButton(C::cmdClearInputFile, C::txbInputFile);
}

void MainForm::TakeInputFile(Text path) {
  SetText(C::txbInputFile, std::move(path));
  SetOutputText(Text());
  SetWordCountLabels(Text(), Text());
  analysis_.blnWordTableCurrent = false;
  InputFileVerdict verdict = ValidateInputFile(settings_.txbInputFile, blnStartupCompleted, texts_);
  if (verdict.message) ShowMessage(*verdict.message);
  ApplyInputFileKind();
  ChooseLanguageForDocument();
  if (State(C::txbInputFile).tooltip != kInputFileTooltip) {
    State(C::txbInputFile).tooltip = Text(kInputFileTooltip);
    ui_.ControlChanged(C::txbInputFile);
  }
  PlaceDefaultFocus();
}

void MainForm::txbInputFile_Click() {
  if (settings_.txbInputFile.empty()) cmdInputFile_Click();
}

void MainForm::cmdClearInputFile_Click() {
  SetText(C::txbInputFile, Text());
  SetEnabled(C::cmdClearInputFile, false);
  if (State(C::cmdInputFile).visible && State(C::cmdInputFile).enabled) SetFocus(C::cmdInputFile);
  ApplyInputFileKind();
}

// ---- Clear buttons, clipboard, defaults, help ---------------------------------------------

void MainForm::cmdClearWordsToIgnore_Click() {
  if (!settings_.txbWordsToIgnore.empty()) {
    SetText(C::txbWordsToIgnore, Text());
    settings_.strWordsToIgnoreList.clear();
    SetEnabled(C::cmdClearWordsToIgnore, false);
    analysis_.blnWordTableCurrent = false;
  }
  PlaceDefaultFocus();
}

void MainForm::cmdClearBeginMetaTagWith_Click() {
  if (!settings_.txbBeginMetaTagWith.empty()) {
    SetText(C::txbBeginMetaTagWith, Text());
    SetEnabled(C::cmdClearBeginMetaTagWith, false);
    analysis_.blnWordTableCurrent = false;
  }
  PlaceDefaultFocus();
}

void MainForm::cmdClearOutput_Click() {
  SetOutputText(Text());
  SetWordCountLabels(Text(), Text());
  analysis_.blnWordTableCurrent = false;
  PlaceDefaultFocus();
}

void MainForm::cmdCopyToClipboard_Click() {
  ui_.ClearClipboard();
  ui_.SetClipboardText(GetMetaTag(output_));
  PlaceDefaultFocus();
}

void MainForm::cmdReset_Click() {
  RestoreDefaults(false);
  PlaceDefaultFocus();
}

void MainForm::cmdHelp_Click() {
  ui_.ShowHelp();
}

void MainForm::Form_F1Released() {
  switch (focus_) {
    case C::cmdInputFile:
    case C::cmdListWords:
    case C::cmdGenerateKeywordMetaTag:
    case C::cmdShowExistingKeywordMetaTag:
    case C::cmdHelp:
      // Only a usable control holds the focus in a real window; during a run that is the
      // Stop button, and help opens from it too.
      if (Usable(focus_)) cmdHelp_Click();
      break;
    default:
      break;
  }
}

// ---- The analysis commands -----------------------------------------------------------------

void MainForm::cmdListWords_Click() {
  if (RunInProgress()) {
    analysis_.blnStopRequested = true;
    return;
  }
  RunAnalysisFromWindow(false);
}

void MainForm::cmdGenerateKeywordMetaTag_Click() {
  RunAnalysisFromWindow(true);
}

void MainForm::RunAnalysisFromWindow(bool tagMode) {
  try {
    analysis_.RunAnalysis(tagMode, *this);
  } catch (const std::exception& e) {
    // The run reports its own failures; what escapes it (memory running out) is reported
    // here, and the table is not current.
    analysis_.blnWordTableCurrent = false;
    ShowMessage(Message{Text(kErrorCaption), FromUtf8(e.what()), MsgIcon::Warning});
  }
  // Whatever way the run ended, the window is usable again.
  if (RunInProgress()) SetListWordsCaption(kListWordsCaption);
  if (controlsLocked_) SetControlsEnabled(true);
}

void MainForm::cmdShowExistingKeywordMetaTag_Click() {
  ExistingTagReport report = ShowExistingKeywordMetaTag(settings_.txbInputFile);
  SetText(C::txbInputFile, std::move(report.inputFile));
  if (report.message) {
    ShowMessage(*report.message);
  } else if (report.outputText) {
    SetOutputText(std::move(*report.outputText));
  }
}

void MainForm::cmdInsert_Click() {
  const Text caption = State(C::cmdInsert).caption;
  const InsertOutcome outcome = RunInsertCommand(analysis_, *this, texts_, caption);
  for (const Message& message : outcome.messages)
    ShowMessage(message);
  PlaceDefaultFocus();
}

// ---- Quitting and the web links --------------------------------------------------------------

void MainForm::cmdQuit_Click() {
  Quit();
}

void MainForm::Form_QueryUnload() {
  Quit();
}

void MainForm::Quit() {
  if (RunInProgress()) analysis_.blnStopRequested = true;
  if (!stateSaved_) {
    stateSaved_ = true;
    // However the window is left, the number boxes are saved as leaving them would correct
    // them; no message is shown on the way out.
    Text keywords = settings_.txbMaxNumKeywordsInMetaTag;
    CheckMaxNumKeywords(keywords);
    SetText(C::txbMaxNumKeywordsInMetaTag, std::move(keywords));
    Text bytes = settings_.txbMaxNumBytesInMetaTag;
    CheckMaxNumBytes(bytes);
    SetText(C::txbMaxNumBytesInMetaTag, std::move(bytes));
    SaveState();
  }
  quitRequested_ = true;
  ui_.EndProgram();
}

void MainForm::lblQuillmark_Click() {
  OpenWebAddress(texts_.GetProgramText(catalogue::kPublisherAddress));
}

void MainForm::lblOnlineDocumentation_Click() {
  OpenWebAddress(texts_.GetProgramText(catalogue::kManualAddress));
}

void MainForm::OpenWebAddress(TextView address) {
  int32_t result = ui_.OpenAddress(address);
  if (std::optional<Message> failure = WebLinkFailureMessage(result, address)) {
    ShowMessage(*failure);
  }
}

// ---- Common words ----------------------------------------------------------------------

void MainForm::CheckUncheckIgnoreCommonWords(bool check) {
  if (check != settings_.chkIgnoreCommonWords) SetChecked(C::chkIgnoreCommonWords, check);
  analysis_.blnWordTableCurrent = false;
}

void MainForm::ReportCommonWordsUnavailable(int32_t position) {
  ShowMessage(CommonWordsUnavailableMessage(dataFolder_, position));
  CheckUncheckIgnoreCommonWords(false);
}

void MainForm::ChooseLanguageForDocument() {
  SetText(C::txbInputFile, TrimSpaces(settings_.txbInputFile));
  if (settings_.txbInputFile.empty()) {
    CheckUncheckIgnoreCommonWords(false);
    SetSelected(C::cboLanguage, kNoSelection);
    return;
  }
  // The declared language, else the one the document's words are recognised as, else
  // English; the user can still choose another. A file that cannot be opened gets English
  // (its name checks and the run report it); one that fails while it is read is reported.
  LanguageChoice choice;
  DocumentReader document;
  if (!document.Open(ToPath(settings_.txbInputFile)).failed()) {
    Result<LanguageChoice> chosen =
        ChooseDocumentLanguage(document, settings_.txbInputFile, commonWords_);
    if (!chosen) {
      ShowMessage(Message{
          Text(kErrorCaption),
          u"Error while reading " + settings_.txbInputFile + u": " + chosen.error().description,
          MsgIcon::Warning});
      return;
    }
    choice = *chosen;
  }
  if (choice.position != settings_.cboLanguage) SetSelected(C::cboLanguage, choice.position);
  CheckUncheckIgnoreCommonWords(true);
}

void MainForm::cboLanguage_Click() {
  int32_t position = settings_.cboLanguage;
  // The flag follows what the list shows, also when the selection is cleared.
  blnGermanSelected = position == intGermanLanguageIndex;
  // Loading the saved state selects a language before any list has been read.
  if (!blnStartupCompleted) return;
  if (position == kNoSelection) return;
  if (LanguageAvailable(position)) {
    analysis_.blnWordTableCurrent = false;
  } else {
    ReportCommonWordsUnavailable(position);
    CheckUncheckIgnoreCommonWords(false);
  }
  PlaceDefaultFocus();
}

void MainForm::chkIgnoreCommonWords_Click() {
  if (!blnStartupCompleted || uncheckingCommonWords_) return;
  int32_t position = settings_.cboLanguage;
  if (position != kNoSelection && settings_.chkIgnoreCommonWords && !LanguageAvailable(position)) {
    uncheckingCommonWords_ = true;
    ReportCommonWordsUnavailable(position);
    SetChecked(C::chkIgnoreCommonWords, false);
    uncheckingCommonWords_ = false;
  }
  analysis_.blnWordTableCurrent = false;
  PlaceDefaultFocus();
}

// ---- Other check boxes, options and lists -----------------------------------------------------

void MainForm::ScanSettingChanged() {
  analysis_.blnWordTableCurrent = false;
  PlaceDefaultFocus();
}

void MainForm::chkIgnoreShortWords_Click() {
  ScanSettingChanged();
}

void MainForm::chkPreserveCase_Click() {
  if (!settings_.chkPreserveCase && blnGermanSelected) {
    Message question;
    question.caption = Text(kConfirmationCaption);
    question.text = Text(kKeepCaseQuestion);
    question.icon = MsgIcon::None;
    question.buttons = MsgButtons::YesNoCancel;
    if (ShowMessage(question) != MsgAnswer::Yes) SetChecked(C::chkPreserveCase, true);
  }
  ScanSettingChanged();
}

void MainForm::chkSpaceAfterComma_Click() {
  PlaceDefaultFocus();
}

void MainForm::chkShowWordsAsFound_Click() {
  if (RunInProgress()) {
    if (settings_.chkShowWordsAsFound) {
      const Text appendedNotice = Text(kCrLf) + Text(kCrLf) + Text(kNotShowingWordsAsFound);
      if (output_ == kNotShowingWordsAsFound) {
        SetOutputText(Text());
      } else if (TextView(output_).ends_with(appendedNotice)) {
        // Unticking appended two line breaks and the notice: take all of it away again.
        SetOutputText(output_.substr(0, output_.size() - appendedNotice.size()));
      } else {
        // Remove the notice that unticking appended; never more than the box holds.
        size_t cut = std::min(output_.size(), kNotShowingWordsAsFound.size());
        SetOutputText(output_.substr(0, output_.size() - cut));
      }
    } else {
      AppendOutputText(Text(kCrLf) + Text(kCrLf) + Text(kNotShowingWordsAsFound));
    }
    RepaintOutput();
    MoveOutputCaretToEnd();
  }
  PlaceDefaultFocus();
}

void MainForm::chkLargeWindow_Click() {
  ApplyLargeWindow();
}

void MainForm::optInsertionWithBackup_Click() {
  PlaceDefaultFocus();
}
void MainForm::optInsertionWithoutBackup_Click() {
  PlaceDefaultFocus();
}

void MainForm::cboShortWordSize_Click() {
  ScanSettingChanged();
}
void MainForm::cboThresholdFrequency_Click() {
  ScanSettingChanged();
}
void MainForm::cboTitleWeight_Click() {
  ScanSettingChanged();
}
void MainForm::cboDescriptionWeight_Click() {
  ScanSettingChanged();
}
void MainForm::cboExistingKeywordsWeight_Click() {
  ScanSettingChanged();
}
void MainForm::cboBoldWeight_Click() {
  ScanSettingChanged();
}
void MainForm::cboItalicWeight_Click() {
  ScanSettingChanged();
}
void MainForm::cboTableWeight_Click() {
  ScanSettingChanged();
}
void MainForm::cboDivWeight_Click() {
  ScanSettingChanged();
}
void MainForm::cboSpanWeight_Click() {
  ScanSettingChanged();
}

// ---- Leaving a text box -------------------------------------------------------------------

void MainForm::txbMaxNumKeywordsInMetaTag_LostFocus() {
  constexpr ControlId box = C::txbMaxNumKeywordsInMetaTag;
  Text text = settings_.txbMaxNumKeywordsInMetaTag;
  std::optional<Message> message = CheckMaxNumKeywords(text);
  if (message) {
    // The cleaned number stays in view while the message shows.
    SetText(box, CleanNumberText(settings_.txbMaxNumKeywordsInMetaTag, false));
    ShowMessage(*message);
    SetText(box, std::move(text));
    FocusBoxWithCaretAtEnd(box);
  } else {
    SetText(box, std::move(text));
  }
}

void MainForm::txbMaxNumBytesInMetaTag_LostFocus() {
  constexpr ControlId box = C::txbMaxNumBytesInMetaTag;
  Text text = settings_.txbMaxNumBytesInMetaTag;
  std::optional<Message> message = CheckMaxNumBytes(text);
  if (message) {
    SetText(box, CleanNumberText(settings_.txbMaxNumBytesInMetaTag, false));
    ShowMessage(*message);
    SetText(box, std::move(text));
    FocusBoxWithCaretAtEnd(box);
  } else {
    SetText(box, std::move(text));
  }
}

void MainForm::txbWordsToIgnore_LostFocus() {
  Text text = settings_.txbWordsToIgnore;
  Text list = NormaliseWordsToIgnore(text);
  SetText(C::txbWordsToIgnore, std::move(text));
  settings_.strWordsToIgnoreList = std::move(list);
  analysis_.blnWordTableCurrent = false;
  EnableClearButton(C::cmdClearWordsToIgnore, C::txbWordsToIgnore);
}

void MainForm::txbBeginMetaTagWith_LostFocus() {
  analysis_.blnWordTableCurrent = false;
  EnableClearButton(C::cmdClearBeginMetaTagWith, C::txbBeginMetaTagWith);
}

}  // namespace tw
