// The main window's start-up, the saved state, the common-word loading with its progress
// text, the fonts and the large-window layout.
#include <cmath>

#include "analysis/insertion.hpp"
#include "analysis/language.hpp"
#include "app/mainform.hpp"
#include "io/istextfile.hpp"
#include "tags/insert.hpp"
#include "text/chars.hpp"
#include "text/strproc.hpp"
#include "words/filters.hpp"

namespace tw {

namespace {

using C = ControlId;

constexpr TextView kReadingCommonWordsIn = u"Reading common words in ";
constexpr int32_t kPauseAfterEachList = 500;
constexpr int32_t kPauseAfterAllLists = 2000;

// Large window: its top, its share of the screen, and the room below the output box.
constexpr int32_t kLargeWindowTop = 300;
constexpr double kLargeWindowScreenShare = 0.9;
constexpr int32_t kRoomBelowOutputBox = 550;
constexpr int32_t kGapAboveFrame = 100;

constexpr TextView kCopyrightNotice = u"\u00A9 Tagwright authors";
constexpr TextView kPublisherTooltip = u"Click to visit the Quillmark web site: ";
constexpr TextView kManualTooltip = u"Click to read the online user manual: ";

template <size_t N>
std::vector<Text> ItemsOf(const std::array<Text, N>& items) {
  return std::vector<Text>(items.begin(), items.end());
}

}  // namespace

bool MainForm::Startup() {
  blnStartupCompleted = false;
  Text programTextFile = ToLowerGeneral(kFormTag) + Text(kProgramTextExtension);
  int loaded = texts_.LoadProgramText(dataFolder_, programTextFile);
  if (loaded <= 0) {
    Message failure;
    failure.text = ProgramText::LoaderMessage(loaded, texts_.path());
    failure.icon = MsgIcon::Error;
    ui_.ShowMessage(failure);
    quitRequested_ = true;
    ui_.EndProgram();
    return false;
  }
  Text programName = texts_.GetProgramText(catalogue::kProgramName);
  Text shortName = texts_.GetProgramText(catalogue::kShortName);
  Text stateFolderName = texts_.GetProgramText(catalogue::kStateFolderName);

  // Analysis state.
  analysis_.blnWordTableCurrent = false;
  stateFile_ = ComputeStateFilePath(ui_.AppDataFolder(), stateFolderName, shortName);
  intNormalHeight = window_.height;
  SetOutputText(Text());
  SetWordCountLabels(Text(), Text());
  FillLists();
  RestoreDefaults(true);
  if (!LoadState()) RestoreDefaults(true);
  blnGermanSelected = settings_.cboLanguage == intGermanLanguageIndex;

  // Caption, insertion options, fonts, the bottom strip's texts.
  window_.caption =
      programName + u" " + NumberText(kVersionMajor) + u"." + NumberText(kVersionMinor) + u"2";
  ui_.WindowChanged();
  SetCaption(C::cmdInsert, kInsertCaption);
  SetVisible(C::optInsertionWithBackup, true);
  SetVisible(C::optInsertionWithoutBackup, true);
  ApplyInputFileKind();
  ApplyFonts();
  Text publisher = texts_.GetProgramText(catalogue::kPublisherAddress);
  Text manual = texts_.GetProgramText(catalogue::kManualAddress);
  SetCaption(C::lblCopyrightNotice, kCopyrightNotice);
  SetCaption(C::lblQM_URL, publisher);
  State(C::lblQuillmark).tooltip = Text(kPublisherTooltip) + publisher;
  ui_.ControlChanged(C::lblQuillmark);
  State(C::lblOnlineDocumentation).tooltip = Text(kManualTooltip) + manual;
  ui_.ControlChanged(C::lblOnlineDocumentation);

  // The maximum number of keywords always starts at its default; the window appears.
  SetText(C::txbMaxNumKeywordsInMetaTag, NumberText(intDefaultMaxNumKeywords));
  window_.visible = true;
  ui_.ShowMainWindow();
  SetVisible(C::cmdCopyToClipboard, true);

  // A saved input file that is gone or of a wrong kind leaves the box silently.
  InputFileVerdict verdict = ValidateInputFile(settings_.txbInputFile, false, texts_);
  if (verdict.currentFolder) ui_.SetCurrentFolder(std::filesystem::path(*verdict.currentFolder));
  if (verdict.clearInputBox) {
    SetText(C::txbInputFile, Text());
    ApplyInputFileKind();
  }

  // The common words, with the controls locked.
  SetControlsEnabled(false);
  SetEnabled(C::cmdListWords, false);
  SetOutputText(Text(kReadingCommonWords));
  ui_.RepaintWindow();
  LoadAllCommonWords();
  RecogniseRestoredDocumentLanguage();
  ReportSelectedLanguageIfUnavailable();
  SetOutputText(Text());
  SetControlsEnabled(true);
  SetEnabled(C::cmdListWords, true);
  ui_.RepaintWindow();

  PlaceDefaultFocus();
  blnStartupCompleted = true;
  return true;
}

void MainForm::FillLists() {
  State(C::cboShortWordSize).items = ItemsOf(ListItems::OneToNine());
  State(C::cboThresholdFrequency).items = ItemsOf(ListItems::OneToNine());
  State(C::cboTitleWeight).items = ItemsOf(ListItems::TenToNinety());
  State(C::cboDescriptionWeight).items = ItemsOf(ListItems::TenToNinety());
  State(C::cboExistingKeywordsWeight).items = ItemsOf(ListItems::ZeroToNinety());
  State(C::cboBoldWeight).items = ItemsOf(ListItems::OneToNine());
  State(C::cboItalicWeight).items = ItemsOf(ListItems::OneToNine());
  State(C::cboTableWeight).items = ItemsOf(ListItems::ZeroToNine());
  State(C::cboDivWeight).items = ItemsOf(ListItems::ZeroToNine());
  State(C::cboSpanWeight).items = ItemsOf(ListItems::ZeroToNine());
  std::vector<Text> languages;
  for (TextView name : kLanguageNames)
    languages.emplace_back(name);
  State(C::cboLanguage).items = std::move(languages);
  for (ControlId id :
       {C::cboShortWordSize, C::cboThresholdFrequency, C::cboTitleWeight, C::cboDescriptionWeight,
        C::cboExistingKeywordsWeight, C::cboBoldWeight, C::cboItalicWeight, C::cboTableWeight,
        C::cboDivWeight, C::cboSpanWeight, C::cboLanguage}) {
    ui_.ControlChanged(id);
  }
}

void MainForm::ApplyFonts() {
  for (const ControlSpec& spec : kControlSpecs) {
    if (spec.kind == ControlKind::TextBox) continue;
    ControlState& state = State(spec.id);
    if (state.fontName == kControlFont) continue;
    state.fontName = Text(kControlFont);
    ui_.ControlChanged(spec.id);
  }
}

void MainForm::RestoreDefaults(bool clearTexts) {
  AnalysisSettings target = settings_;
  tw::RestoreDefaults(target, clearTexts);
  if (target.txbWordsToIgnore.empty()) target.strWordsToIgnoreList.clear();
  ApplySettings(target);
  // The default "without backup" must not stay selected, hidden, for a PHP document.
  ApplyInputFileKind();
  analysis_.blnWordTableCurrent = false;
}

bool MainForm::LoadState() {
  if (!stateFile_.folderReady) return false;
  AnalysisSettings loaded = settings_;
  if (!tw::LoadState(stateFile_.file, loaded)) return false;
  ApplySettings(loaded);
  ApplyInputFileKind();
  return true;
}

void MainForm::SaveState() {
  if (!stateFile_.folderReady) {
    ShowMessage(SaveStateFailureMessage(stateFile_.folderError.description));
    return;
  }
  if (const Status failure = tw::SaveState(stateFile_.file, settings_); failure.failed()) {
    ShowMessage(SaveStateFailureMessage(failure.description));
  }
}

void MainForm::LoadAllCommonWords() {
  SetOutputText(Text());
  const std::vector<Text>& names = State(C::cboLanguage).items;
  for (int32_t position = 0; position < intNumCommonWordsLanguages; ++position) {
    Text name = position < static_cast<int32_t>(names.size()) ? names[position]
                                                              : Text(kLanguageNames[position]);
    if (position == intNumCommonWordsLanguages - 1) name = ToLowerGeneral(name);
    AppendOutputText(Text(kReadingCommonWordsIn) + name + Text(kCrLf));
    RepaintOutput();
    ui_.Pause(kPauseAfterEachList);
    if (std::optional<Message> failure = commonWords_.LoadCommonWords(dataFolder_, position)) {
      ShowMessage(*failure);
    }
  }
  ui_.Pause(kPauseAfterAllLists);
}

void MainForm::RecogniseRestoredDocumentLanguage() {
  // English is what every page that declared no language used to get. A restored document
  // saved with it gets the language its words are recognised as, as when it is chosen; any
  // other saved language, and English for a declared or unrecognised page, stays as saved.
  if (settings_.txbInputFile.empty() || settings_.cboLanguage != kEnglishLanguageIndex) return;
  const LanguageChoice choice = ChooseDocumentLanguage(settings_.txbInputFile, commonWords_);
  if (choice.source != LanguageSource::Recognised || choice.position == settings_.cboLanguage) {
    return;
  }
  SetSelected(C::cboLanguage, choice.position);
  CheckUncheckIgnoreCommonWords(true);
}

void MainForm::ReportSelectedLanguageIfUnavailable() {
  int32_t selected = settings_.cboLanguage;
  if (selected != kNoSelection && settings_.chkIgnoreCommonWords && !LanguageAvailable(selected)) {
    ReportCommonWordsUnavailable(selected);
  }
}

bool MainForm::LanguageAvailable(int32_t position) const {
  return commonWords_.IsAvailable(position);
}

void MainForm::ApplyInputFileKind() {
  if (InsertionForcesBackup(settings_.txbInputFile)) {
    SetChecked(C::optInsertionWithBackup, true);
    SetCaption(C::optInsertionWithBackup, kWithBackupCaption);
    SetVisible(C::optInsertionWithoutBackup, false);
  } else {
    SetCaption(C::optInsertionWithBackup, kWithCaption);
    SetVisible(C::optInsertionWithoutBackup, true);
  }
}

void MainForm::ApplyLargeWindow() {
  int32_t screen = ui_.ScreenHeightTwips();
  int32_t top = 0;
  int32_t height = 0;
  if (settings_.chkLargeWindow) {
    top = kLargeWindowTop;
    height = static_cast<int32_t>(std::lround(kLargeWindowScreenShare * screen));
  } else {
    height = intNormalHeight;
    top = static_cast<int32_t>(std::lround((screen - height) / 2.0));
  }
  window_.top = top;
  window_.height = height;
  ui_.PlaceMainWindow(top, height);
  ui_.WindowChanged();

  const int32_t outputTop = State(C::txbMetaTag).top;
  const int32_t frameHeight = State(C::Frame1).height;
  int32_t outputHeight = height - outputTop - frameHeight - kRoomBelowOutputBox;
  if (outputHeight < 0) outputHeight = 0;  // a window too low for the output box
  State(C::txbMetaTag).height = outputHeight;
  State(C::Frame1).top = outputTop + outputHeight + kGapAboveFrame;
  ui_.ControlChanged(C::txbMetaTag);
  ui_.ControlChanged(C::Frame1);
  PlaceDefaultFocus();
}

}  // namespace tw
