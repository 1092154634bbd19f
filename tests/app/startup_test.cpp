// Start-up of the main window, the saved state across a restart, and quitting.
#include <gtest/gtest.h>

#include "analysis/statefile.hpp"
#include "app/formfixture.hpp"

namespace tw::test {
namespace {

class StartupTest : public FormTest {};

TEST_F(StartupTest, FirstStartShowsEveryDefaultAndReadsTheCommonWords) {
  MainForm& f = Start();
  AnalysisSettings defaults;
  defaults.txbInputFile.clear();
  EXPECT_EQ(f.settings(), defaults);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(f.blnStartupCompleted);
  EXPECT_EQ(f.Window().caption, f.texts().GetProgramText(1) + u" 1.02");
  EXPECT_EQ(ui.windowShown, 1);
  EXPECT_TRUE(Output().empty());
  // The progress text names each list; the last name is lower-cased.
  EXPECT_EQ(ui.appendedOutput,
            u"Reading common words in English\r\n"
            u"Reading common words in French\r\n"
            u"Reading common words in German\r\n"
            u"Reading common words in Italian\r\n"
            u"Reading common words in Portuguese\r\n"
            u"Reading common words in Spanish\r\n"
            u"Reading common words in all 6 languages\r\n");
  EXPECT_EQ(ui.pauses, (std::vector<int32_t>{500, 500, 500, 500, 500, 500, 500, 2000}));
  for (int32_t p = 0; p < intNumCommonWordsLanguages; ++p) {
    EXPECT_TRUE(f.commonWords().IsAvailable(p)) << p;
  }
  // Unlocked, the Clear buttons of the empty boxes disabled, the focus on "Input file".
  EXPECT_TRUE(f.ControlEnabled(C::cmdListWords));
  EXPECT_TRUE(f.ControlEnabled(C::cmdGenerateKeywordMetaTag));
  EXPECT_FALSE(f.ControlEnabled(C::cmdClearInputFile));
  EXPECT_FALSE(f.ControlEnabled(C::cmdClearWordsToIgnore));
  EXPECT_FALSE(f.ControlEnabled(C::cmdClearBeginMetaTagWith));
  EXPECT_EQ(f.Focus(), C::cmdInputFile);
  EXPECT_EQ(f.ControlText(C::cmdListWords), u"List words");
  EXPECT_EQ(f.GetControl(C::cboTitleWeight).items.size(), 9u);
  EXPECT_EQ(f.GetControl(C::cboLanguage).items.back(), u"All 6 languages");
}

TEST_F(StartupTest, ControlsTakeArialButTextBoxesKeepTheirFonts) {
  MainForm& f = Start();
  EXPECT_EQ(f.GetControl(C::cmdInputFile).fontName, u"Arial");
  EXPECT_EQ(f.GetControl(C::lblTitleWeight).fontName, u"Arial");
  EXPECT_EQ(f.GetControl(C::cboLanguage).fontName, u"Arial");
  EXPECT_EQ(f.GetControl(C::Frame1).fontName, u"Arial");
  EXPECT_EQ(f.GetControl(C::txbMetaTag).fontName, u"Courier New");
  EXPECT_EQ(f.GetControl(C::txbWordsToIgnore).fontName, u"Courier New");
  EXPECT_EQ(f.GetControl(C::txbMaxNumBytesInMetaTag).fontName, u"MS Sans Serif");
  EXPECT_EQ(f.GetControl(C::txbMaxNumBytesInMetaTag).maxLength, 4);
}

TEST_F(StartupTest, StateFileLivesInTheProgramFolderOfTheApplicationData) {
  MainForm& f = Start();
  const ProgramText& t = f.texts();
  std::filesystem::path expected = ui.appData / std::filesystem::path(t.GetProgramText(310));
  EXPECT_TRUE(std::filesystem::is_directory(expected));
  EXPECT_EQ(f.stateFile().file.parent_path(), expected);
  EXPECT_EQ(f.stateFile().file.extension(), ".usr");
  EXPECT_FALSE(std::filesystem::exists(f.stateFile().file));  // nothing written before Quit
}

TEST_F(StartupTest, EverySettingSurvivesQuitAndRestart) {
  Text page = Document("page.htm", kGardenDocument);
  MainForm& f = Start();
  ChooseFile(page);
  TypeAndLeave(C::txbBeginMetaTagWith, u"garden tools, plants");
  TypeAndLeave(C::txbWordsToIgnore, u"Water Grow");
  TypeAndLeave(C::txbMaxNumKeywordsInMetaTag, u"20");
  TypeAndLeave(C::txbMaxNumBytesInMetaTag, u"800");
  const std::pair<ControlId, int32_t> lists[] = {
      {C::cboShortWordSize, 3},      {C::cboThresholdFrequency, 0},
      {C::cboTableWeight, 7},        {C::cboExistingKeywordsWeight, 9},
      {C::cboBoldWeight, 0},         {C::cboTitleWeight, 2},
      {C::cboDescriptionWeight, 1},  {C::cboItalicWeight, 8},
      {C::cboDivWeight, 0},          {C::cboSpanWeight, 9},
      {C::cboLanguage, kNoSelection}};
  for (auto [id, position] : lists)
    f.UserSelect(id, position);
  f.UserSetChecked(C::chkIgnoreShortWords, false);
  f.UserSetChecked(C::chkIgnoreCommonWords, false);
  f.UserSetChecked(C::chkPreserveCase, false);
  f.UserSetChecked(C::chkSpaceAfterComma, false);
  f.UserSetChecked(C::chkShowWordsAsFound, true);
  f.UserSetChecked(C::optInsertionWithBackup, true);
  f.UserSetChecked(C::chkLargeWindow, true);
  AnalysisSettings before = f.settings();
  f.UserClick(C::cmdQuit);
  EXPECT_EQ(ui.ended, 1);
  EXPECT_TRUE(ui.messages.empty());

  MainForm& g = Restart();
  AnalysisSettings expected = before;
  expected.txbMaxNumKeywordsInMetaTag = u"50";  // always the default after start-up
  expected.chkLargeWindow = false;              // not stored
  EXPECT_EQ(g.settings(), expected);
  EXPECT_EQ(g.settings().txbWordsToIgnore, u"water,grow");
  EXPECT_EQ(g.settings().strWordsToIgnoreList, u"water,grow,");
  EXPECT_TRUE(g.ControlEnabled(C::cmdClearInputFile));
  EXPECT_TRUE(g.ControlEnabled(C::cmdClearWordsToIgnore));
}

TEST_F(StartupTest, AStoredMaximumNumberOfKeywordsIsReplacedByFifty) {
  Start();
  std::filesystem::path file = form->stateFile().file;
  form.reset();
  AnalysisSettings s;
  s.txbMaxNumKeywordsInMetaTag = u"77";
  s.txbMaxNumBytesInMetaTag = u"321";
  WriteBytes(file, StateFileText(s));
  MainForm& g = Restart();
  EXPECT_EQ(g.settings().txbMaxNumKeywordsInMetaTag, u"50");
  EXPECT_EQ(g.settings().txbMaxNumBytesInMetaTag, u"321");
}

TEST_F(StartupTest, MalformedStateFileLeavesEverySettingAtItsDefault) {
  Text page = Document("page.htm", kGardenDocument);
  Start();
  std::filesystem::path file = form->stateFile().file;
  form.reset();
  AnalysisSettings s;
  s.txbInputFile = page;
  s.txbBeginMetaTagWith = u"lead";
  s.txbWordsToIgnore = u"foo";
  s.txbMaxNumBytesInMetaTag = u"700";
  std::string text = StateFileText(s);
  // Line 6 (short word size) holds a position outside its list.
  size_t line6 = 0;
  for (int i = 0; i < 5; ++i)
    line6 = text.find("\r\n", line6) + 2;
  text.replace(line6, text.find("\r\n", line6) - line6, "12");
  WriteBytes(file, text);
  MainForm& g = Restart();
  AnalysisSettings defaults;
  defaults.txbInputFile.clear();
  EXPECT_EQ(g.settings(), defaults);
}

TEST_F(StartupTest, SavedPhpInputFileForcesBackupAtStartup) {
  Text script = Document("index.php", kGardenDocument);
  Start();
  std::filesystem::path file = form->stateFile().file;
  form.reset();
  AnalysisSettings s;
  s.txbInputFile = script;
  s.optInsertionWithBackup = false;
  WriteBytes(file, StateFileText(s));
  MainForm& g = Restart();
  EXPECT_EQ(g.settings().txbInputFile, script);
  EXPECT_TRUE(g.settings().optInsertionWithBackup);
  EXPECT_FALSE(g.ControlVisible(C::optInsertionWithoutBackup));
  EXPECT_EQ(g.ControlText(C::optInsertionWithBackup), u"with backup");
}

TEST_F(StartupTest, ARestoredDocumentSavedWithEnglishGetsItsRecognisedLanguage) {
  struct Case {
    std::string document;
    int32_t saved;
    int32_t restored;
  };
  const Case cases[] = {
      {std::string(kGermanDocument), 0, intGermanLanguageIndex},    // the old default for any page
      {std::string(kGermanDocument), 1, 1},                         // the user's own choice
      {std::string(kGermanDocument), kNoSelection, kNoSelection},   // none stays none
      {"<html lang=\"en\">" + std::string(kGermanDocument), 0, 0},  // declared English
      {std::string(kGardenDocument), 0, 0},                         // recognised as English
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n);
    Text page = Document("page" + std::to_string(n++) + ".htm", c.document);
    Start();
    std::filesystem::path file = form->stateFile().file;
    form.reset();
    AnalysisSettings s;
    s.txbInputFile = page;
    s.cboLanguage = c.saved;
    s.chkIgnoreCommonWords = false;
    WriteBytes(file, StateFileText(s));
    MainForm& g = Restart();
    EXPECT_EQ(g.settings().cboLanguage, c.restored);
    EXPECT_EQ(g.settings().chkIgnoreCommonWords, c.restored != c.saved);
    EXPECT_EQ(g.blnGermanSelected, c.restored == intGermanLanguageIndex);
    EXPECT_TRUE(second->messages.empty());
  }
}

TEST_F(StartupTest, SavedInputFileThatIsGoneLeavesTheBoxSilently) {
  Text page = Document("gone.htm", kGardenDocument);
  Start();
  std::filesystem::path file = form->stateFile().file;
  form.reset();
  AnalysisSettings s;
  s.txbInputFile = page;
  WriteBytes(file, StateFileText(s));
  std::filesystem::remove(std::filesystem::path(page));
  MainForm& g = Restart();
  EXPECT_TRUE(g.settings().txbInputFile.empty());
  EXPECT_TRUE(second->messages.empty());
  EXPECT_FALSE(g.ControlEnabled(C::cmdClearInputFile));
  EXPECT_EQ(g.Focus(), C::cmdInputFile);
}

TEST_F(StartupTest, PathWithQuotesAndAccentsComesBackAsWritten) {
  Text page = Document("caf\xC3\xA9 \"menu\" \xE2\x82\xAC.htm", kGardenDocument);
  MainForm& f = Start();
  ChooseFile(page);
  ASSERT_EQ(f.settings().txbInputFile, page);
  f.UserClick(C::cmdQuit);
  MainForm& g = Restart();
  EXPECT_EQ(g.settings().txbInputFile, page);
}

TEST_F(StartupTest, ClosingTheWindowSavesLikeQuitAndOnlyOnce) {
  MainForm& f = Start();
  f.UserSetChecked(C::chkSpaceAfterComma, false);
  f.UserClose();
  f.UserClick(C::cmdQuit);
  EXPECT_TRUE(f.QuitRequested());
  EXPECT_GE(ui.ended, 1);
  AnalysisSettings loaded;
  ASSERT_TRUE(LoadState(f.stateFile().file, loaded));
  EXPECT_FALSE(loaded.chkSpaceAfterComma);
}

TEST_F(StartupTest, LeavingTheWindowSavesTheNumberBoxesCorrectedAndSilently) {
  struct Case {
    ControlId box;
    const char16_t* typed;
    const char* saved;  // the line of the state file
    bool close;         // the title-bar button, else Quit
  };
  const Case cases[] = {
      {C::txbMaxNumBytesInMetaTag, u"2000", "\"500\"", true},
      {C::txbMaxNumBytesInMetaTag, u"9,99", "\"999\"", false},
      {C::txbMaxNumBytesInMetaTag, u"", "\"\"", true},
      {C::txbMaxNumKeywordsInMetaTag, u"4", "\"50\"", false},
      {C::txbMaxNumKeywordsInMetaTag, u"20", "\"20\"", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.typed));
    MainForm& f = Start();
    // Typed, and the window left while the box still has the focus.
    f.UserFocus(c.box);
    f.UserEditText(c.box, c.typed);
    if (c.close) {
      f.UserClose();
    } else {
      f.UserClick(C::cmdQuit);
    }
    EXPECT_TRUE(ui.messages.empty());
    const std::string state = ReadBytes(f.stateFile().file);
    const int line = c.box == C::txbMaxNumKeywordsInMetaTag ? 3 : 4;  // 0-based
    size_t at = 0;
    for (int k = 0; k < line; ++k)
      at = state.find("\r\n", at) + 2;
    EXPECT_EQ(state.substr(at, state.find("\r\n", at) - at), c.saved);
  }
}

TEST_F(StartupTest, UnusableStateFolderSkipsLoadingAndReportsTheSave) {
  // A file where the application-data folder should be: no folder can be made inside it.
  WriteBytes(ui.appData, "not a folder");
  MainForm& f = Start();
  EXPECT_FALSE(f.stateFile().folderReady);
  EXPECT_TRUE(ui.messages.empty());
  f.UserClick(C::cmdQuit);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].caption, u"Save state");
  EXPECT_EQ(ui.messages[0].text.rfind(u"Error when attempting to save the state: ", 0), 0u);
  EXPECT_GT(ui.messages[0].text.size(), 41u);
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Warning);
  EXPECT_EQ(ui.ended, 1);
}

TEST_F(StartupTest, MissingProgramTextEndsTheProgramWithItsMessage) {
  dataFolder = temp.path() / "emptydata";
  std::filesystem::create_directories(dataFolder);
  form = std::make_unique<MainForm>(ui, dataFolder);
  EXPECT_FALSE(form->Startup());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(ui.messages[0].caption.empty());
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Error);
  EXPECT_NE(ui.messages[0].text.find(u"Cannot open file containing program text."), Text::npos);
  EXPECT_EQ(ui.ended, 1);
  EXPECT_EQ(ui.windowShown, 0);
}

// A copy of the program's data without one common-word file.
class MissingListTest : public FormTest {
 protected:
  void SetUp() override {
    std::filesystem::path copy = temp.path() / "data";
    std::filesystem::copy(dataFolder, copy, std::filesystem::copy_options::recursive);
    std::filesystem::remove(copy / "cwds_fr.txt");
    dataFolder = copy;
  }
};

TEST_F(MissingListTest, OneErrorAtStartupAndTheLanguageCannotBeChosen) {
  MainForm& f = Start();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].caption, u"Error!");
  EXPECT_EQ(ui.messages[0].text.rfind(u"French\r\n\r\n", 0), 0u);
  EXPECT_FALSE(f.commonWords().IsAvailable(kFrenchLanguageIndex));
  EXPECT_TRUE(f.commonWords().IsAvailable(0));

  ui.messages.clear();
  f.UserSelect(C::cboLanguage, kFrenchLanguageIndex);
  ASSERT_GE(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].caption, u"Common words not available");
  EXPECT_NE(ui.messages[0].text.find(u"Common words in French could not be read from file\r\n"),
            Text::npos);
  EXPECT_FALSE(f.settings().chkIgnoreCommonWords);

  // Ticking the box again with French selected reports it and leaves the box unticked.
  ui.messages.clear();
  f.UserSetChecked(C::chkIgnoreCommonWords, true);
  EXPECT_EQ(ui.CountCaption(u"Common words not available"), 1);
  EXPECT_FALSE(f.settings().chkIgnoreCommonWords);
  EXPECT_TRUE(ui.WasChanged(C::chkIgnoreCommonWords));
}

TEST_F(MissingListTest, SavedUnavailableLanguageIsReportedAfterLoading) {
  Start();
  std::filesystem::path file = form->stateFile().file;
  form.reset();
  AnalysisSettings s;
  s.cboLanguage = kFrenchLanguageIndex;
  s.chkIgnoreCommonWords = true;
  WriteBytes(file, StateFileText(s));
  MainForm& g = Restart();
  EXPECT_EQ(second->CountCaption(u"Error!"), 1);
  EXPECT_EQ(second->CountCaption(u"Common words not available"), 1);
  EXPECT_EQ(g.settings().cboLanguage, kFrenchLanguageIndex);
  EXPECT_FALSE(g.settings().chkIgnoreCommonWords);
}

}  // namespace
}  // namespace tw::test
