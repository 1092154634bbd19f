// The main window's logic without a toolkit (frmMain): every control as plain state, start-up,
// every command and change handler, and the host of the analysis run. A view draws the
// controls from GetControl, redraws those that Ui::ControlChanged names, and forwards the
// user's actions through the User* methods.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "analysis/host.hpp"
#include "analysis/run.hpp"
#include "analysis/settings.hpp"
#include "analysis/statefile.hpp"
#include "app/controls.hpp"
#include "app/ui.hpp"
#include "catalogue/language2.hpp"
#include "text/message.hpp"
#include "text/text.hpp"
#include "words/commonwords.hpp"

namespace tw {

// The window's tag; lower-cased, with ".dat", it names the program text file.
inline constexpr TextView kFormTag = u"qdx";
inline constexpr TextView kProgramTextExtension = u".dat";
// The version shown in the caption as major "." minor "2".
inline constexpr int32_t kVersionMajor = 1;
inline constexpr int32_t kVersionMinor = 0;

inline constexpr TextView kInputFileTooltip =
    u"To specify a different input file, click on the button at left.";
inline constexpr TextView kReadingCommonWords = u"Reading common words ...";
inline constexpr TextView kWithCaption = u"with";
inline constexpr TextView kWithBackupCaption = u"with backup";

// The window itself.
struct WindowState {
  Text caption;
  // Top and outer height in twips; the top is unset until the window is placed (the
  // platform then places it).
  std::optional<int32_t> top;
  int32_t height = kNormalWindowHeight;
  int32_t width = kClientWidth;
  bool visible = false;
  Text fontName = Text(kWindowFont);
  uint32_t backColour = kWindowBackColour;
};

class MainForm : public RunHost {
 public:
  // `dataFolder` holds the program text file and the common-word files.
  MainForm(Ui& ui, std::filesystem::path dataFolder);
  ~MainForm() override;
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  // Start-up in its order, the window shown on the way. False when the program text could
  // not be loaded: the message has been shown and the program has been ended.
  bool Startup();

  // ---- What a view reads -------------------------------------------------------------
  Control GetControl(ControlId id) const;
  // The text of a text box or the caption of any other control, without copying.
  const Text& ControlText(ControlId id) const;
  bool ControlChecked(ControlId id) const;
  int32_t ControlSelected(ControlId id) const;
  bool ControlEnabled(ControlId id) const;
  bool ControlVisible(ControlId id) const;
  ControlId Focus() const { return focus_; }
  const WindowState& Window() const { return window_; }

  // ---- What a view forwards ----------------------------------------------------------
  // Any click on a button, a link label or txbInputFile.
  void UserClick(ControlId id);
  // The user ticked or unticked a check box, or selected an option button.
  void UserSetChecked(ControlId id, bool checked);
  // The user selected a list item.
  void UserSelect(ControlId id, int32_t position);
  // The user changed a text box's text (typing, pasting). Number boxes keep 4 characters.
  void UserEditText(ControlId id, Text text);
  // The focus moved to `id` (None: to no control of the window); the previous holder's
  // leave check runs.
  void UserFocus(ControlId id);
  // The F1 key was released.
  void UserF1Released();
  // The window's close button; the same as Quit.
  void UserClose();
  // A document given to the window without the file dialog (dropped onto it, or named when
  // the program was started): taken as if chosen in the dialog. Ignored while the input
  // file cannot be chosen (during start-up or a run).
  void UserOpenFile(Text path);

  // The main window's public operation: ticks or unticks chkIgnoreCommonWords (running its
  // handling) and makes the word table stale.
  void CheckUncheckIgnoreCommonWords(bool check);

  // ---- RunHost -----------------------------------------------------------------------
  const AnalysisSettings& Settings() const override { return settings_; }
  void SetInputFileText(Text text) override;
  void SetBeginWithText(Text text) override;
  const Text& OutputText() const override { return output_; }
  void SetOutputText(Text text) override;
  void AppendOutputText(TextView text) override;
  void RepaintOutput() override;
  void MoveOutputCaretToEnd() override;
  void MoveOutputCaretToStart() override;
  void SetWordCountLabels(TextView caption, TextView count) override;
  void SetListWordsCaption(TextView caption) override;
  void SetControlsEnabled(bool enable) override;
  void PlaceDefaultFocus() override;
  MsgAnswer ShowMessage(const Message& message) override;
  void Yield() override;

  // ---- State -------------------------------------------------------------------------
  const AnalysisSettings& settings() const { return settings_; }
  const Analysis& analysis() const { return analysis_; }
  Analysis& analysis() { return analysis_; }
  const CommonWords& commonWords() const { return commonWords_; }
  const ProgramText& texts() const { return texts_; }
  const std::filesystem::path& dataFolder() const { return dataFolder_; }
  const StateFileLocation& stateFile() const { return stateFile_; }
  // True while a run reads the document (cmdListWords shows "Stop").
  bool RunInProgress() const;
  bool QuitRequested() const { return quitRequested_; }

  bool blnStartupCompleted = false;
  bool blnGermanSelected = false;
  int32_t intNormalHeight = kNormalWindowHeight;

 private:
  // The commands, change handlers and shared routines of the window, named after the
  // controls they belong to. They run through the User* events, the way a view delivers them.
  // ---- Commands ----------------------------------------------------------------------
  void cmdInputFile_Click();
  void txbInputFile_Click();
  void cmdClearInputFile_Click();
  void cmdClearWordsToIgnore_Click();
  void cmdClearBeginMetaTagWith_Click();
  void cmdClearOutput_Click();
  void cmdCopyToClipboard_Click();
  void cmdReset_Click();
  void cmdHelp_Click();
  void cmdListWords_Click();
  void cmdGenerateKeywordMetaTag_Click();
  void cmdShowExistingKeywordMetaTag_Click();
  void cmdInsert_Click();
  void cmdQuit_Click();
  void Form_QueryUnload();
  void lblQuillmark_Click();
  void lblOnlineDocumentation_Click();
  void Form_F1Released();

  // ---- Change handlers: run after a value changed, by the user or by the program -------
  void chkIgnoreCommonWords_Click();
  void chkIgnoreShortWords_Click();
  void chkPreserveCase_Click();
  void chkSpaceAfterComma_Click();
  void chkShowWordsAsFound_Click();
  void chkLargeWindow_Click();
  void optInsertionWithBackup_Click();
  void optInsertionWithoutBackup_Click();
  void cboLanguage_Click();
  void cboShortWordSize_Click();
  void cboThresholdFrequency_Click();
  void cboTitleWeight_Click();
  void cboDescriptionWeight_Click();
  void cboExistingKeywordsWeight_Click();
  void cboBoldWeight_Click();
  void cboItalicWeight_Click();
  void cboTableWeight_Click();
  void cboDivWeight_Click();
  void cboSpanWeight_Click();

  // ---- Leaving a text box --------------------------------------------------------------
  void txbMaxNumKeywordsInMetaTag_LostFocus();
  void txbMaxNumBytesInMetaTag_LostFocus();
  void txbWordsToIgnore_LostFocus();
  void txbBeginMetaTagWith_LostFocus();

  // ---- Shared routines ---------------------------------------------------------------
  void RestoreDefaults(bool clearTexts);
  void ApplyLargeWindow();
  void ApplyFonts();
  void ApplyInputFileKind();
  void OpenWebAddress(TextView address);
  void ReportCommonWordsUnavailable(int32_t position);
  void ChooseLanguageForDocument();
  // The lists with their progress text and pauses; the check of the selected language
  // follows once the language of a restored document has been chosen.
  void LoadAllCommonWords();
  void ReportSelectedLanguageIfUnavailable();
  void RecogniseRestoredDocumentLanguage();
  bool LoadState();
  void SaveState();

  struct ControlState {
    Text caption;
    std::vector<Text> items;
    bool enabled = true;
    bool visible = true;
    Text tooltip;
    int32_t top = 0;
    int32_t height = 0;
    Text fontName;
  };

  ControlState& State(ControlId id) { return controls_[ControlIndex(id)]; }
  const ControlState& State(ControlId id) const { return controls_[ControlIndex(id)]; }

  // Who changed a value: the view is told of the program's changes; it shows the user's.
  enum class Change { ByProgram, ByUser };
  // Value changes, with the view told and the control's change handler run when the value
  // is new.
  void SetChecked(ControlId id, bool checked, Change change = Change::ByProgram);
  void SetSelected(ControlId id, int32_t position, Change change = Change::ByProgram);
  void SetText(ControlId id, Text text, Change change = Change::ByProgram);
  void ValueChanged(ControlId id, Change change);
  void SetCaption(ControlId id, TextView caption);
  void SetEnabled(ControlId id, bool enabled);
  void SetVisible(ControlId id, bool visible);
  void SetFocus(ControlId id);
  void RunChangeHandler(ControlId id);
  void ScanSettingChanged();
  void ApplySettings(const AnalysisSettings& target);
  void FillLists();
  void InitialiseControls();
  void FocusBoxWithCaretAtEnd(ControlId id);
  void EnableClearButton(ControlId clearButton, ControlId box);
  void RunAnalysisFromWindow(bool tagMode);
  // A chosen input file: the box, the cleared output, the file check and its message, the
  // insertion options and the document's language.
  void TakeInputFile(Text path);
  void Quit();
  bool LanguageAvailable(int32_t position) const;
  // Enabled and visible: a real window delivers the user's actions only to such controls.
  bool Usable(ControlId id) const;

  Ui& ui_;
  std::filesystem::path dataFolder_;
  ProgramText texts_;
  CommonWords commonWords_;
  Analysis analysis_;
  AnalysisSettings settings_;
  Text output_;
  std::array<ControlState, kNumControls> controls_;
  ControlId focus_ = ControlId::None;
  WindowState window_;
  StateFileLocation stateFile_;
  bool uncheckingCommonWords_ = false;
  bool controlsLocked_ = false;
  bool quitRequested_ = false;
  bool stateSaved_ = false;
};

}  // namespace tw
