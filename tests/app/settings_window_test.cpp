// The settings as the window handles them: leaving the boxes, Restore defaults, the German
// keep-case question, choosing and clearing files, the Clear buttons, the large window, help.
#include <gtest/gtest.h>

#include <functional>

#include "app/formfixture.hpp"

namespace tw::test {
namespace {

class SettingsWindowTest : public FormTest {
 protected:
  void SetUp() override { Start(); }
};

struct LeaveCase {
  ControlId box;
  const char16_t* typed;
  const char16_t* after;
  const char16_t* message;  // nullptr: no message
};

TEST_F(SettingsWindowTest, LeavingANumberBoxChecksIt) {
  const LeaveCase cases[] = {
      {C::txbMaxNumKeywordsInMetaTag, u"4", u"50",
       u"Minimum number of keywords in the meta tag is 5."},
      {C::txbMaxNumKeywordsInMetaTag, u"100", u"100", nullptr},
      {C::txbMaxNumKeywordsInMetaTag, u"5", u"5", nullptr},
      {C::txbMaxNumKeywordsInMetaTag, u"101", u"50",
       u"Maximum number of keywords in the meta tag is 100."},
      {C::txbMaxNumKeywordsInMetaTag, u"abc", u"50", nullptr},
      {C::txbMaxNumKeywordsInMetaTag, u"+", u"50",
       u"Minimum number of keywords in the meta tag is 5."},
      {C::txbMaxNumKeywordsInMetaTag, u"1,5", u"15", nullptr},
      {C::txbMaxNumBytesInMetaTag, u"9,99", u"999", nullptr},
      {C::txbMaxNumBytesInMetaTag, u"1001", u"500",
       u"Maximum number of bytes in the meta tag is 1000."},
      {C::txbMaxNumBytesInMetaTag, u"0", u"0", nullptr},
      {C::txbMaxNumBytesInMetaTag, u"", u"", nullptr},
  };
  for (const LeaveCase& c : cases) {
    SCOPED_TRACE(U8(c.typed));
    ui.messages.clear();
    ui.carets.clear();
    TypeAndLeave(c.box, c.typed, C::cmdGenerateKeywordMetaTag);
    EXPECT_EQ(form->ControlText(c.box), c.after);
    if (c.message == nullptr) {
      EXPECT_TRUE(ui.messages.empty());
      EXPECT_EQ(form->Focus(), C::cmdGenerateKeywordMetaTag);
    } else {
      ASSERT_EQ(ui.messages.size(), 1u);
      EXPECT_EQ(ui.messages[0].text, c.message);
      // The box gets the focus back with the caret after its last character.
      EXPECT_EQ(form->Focus(), c.box);
      ASSERT_FALSE(ui.carets.empty());
      EXPECT_EQ(ui.carets.back(),
                std::make_pair(c.box, static_cast<int32_t>(form->ControlText(c.box).size())));
      form->UserFocus(C::cmdQuit);  // leave the box again, now holding its fall-back value
      EXPECT_EQ(ui.messages.size(), 1u);
    }
  }
}

TEST_F(SettingsWindowTest, NumberBoxMessagesHaveTheirCaptionsAndIcons) {
  TypeAndLeave(C::txbMaxNumKeywordsInMetaTag, u"2");
  TypeAndLeave(C::txbMaxNumBytesInMetaTag, u"5000");
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].caption, u"Number of keywords");
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Information);
  EXPECT_EQ(ui.messages[1].icon, MsgIcon::None);
  EXPECT_EQ(ui.messages[1].buttons, MsgButtons::Ok);
  // The number boxes keep at most four characters.
  EXPECT_EQ(form->ControlText(C::txbMaxNumBytesInMetaTag), u"500");
  form->UserEditText(C::txbMaxNumBytesInMetaTag, u"12345");
  EXPECT_EQ(form->ControlText(C::txbMaxNumBytesInMetaTag), u"1234");
  EXPECT_TRUE(ui.WasChanged(C::txbMaxNumBytesInMetaTag));
}

TEST_F(SettingsWindowTest, LeavingTheWordsToIgnoreNormalisesThem) {
  TypeAndLeave(C::txbWordsToIgnore, u"  Foo  Bar,,baz, ");
  EXPECT_EQ(form->ControlText(C::txbWordsToIgnore), u"foo,bar,baz");
  EXPECT_EQ(form->settings().strWordsToIgnoreList, u"foo,bar,baz,");
  EXPECT_TRUE(form->ControlEnabled(C::cmdClearWordsToIgnore));
  TypeAndLeave(C::txbWordsToIgnore, u"    ");
  EXPECT_EQ(form->ControlText(C::txbWordsToIgnore), u"");
  EXPECT_EQ(form->settings().strWordsToIgnoreList, u"");
  EXPECT_FALSE(form->ControlEnabled(C::cmdClearWordsToIgnore));
}

TEST_F(SettingsWindowTest, LeavingTheBeginWithBoxOnlyEnablesItsClearButton) {
  TypeAndLeave(C::txbBeginMetaTagWith, u"  Garden Tools ");
  EXPECT_EQ(form->ControlText(C::txbBeginMetaTagWith), u"  Garden Tools ");
  EXPECT_TRUE(form->ControlEnabled(C::cmdClearBeginMetaTagWith));
  form->UserClick(C::cmdClearBeginMetaTagWith);
  EXPECT_EQ(form->ControlText(C::txbBeginMetaTagWith), u"");
  EXPECT_FALSE(form->ControlEnabled(C::cmdClearBeginMetaTagWith));
}

TEST_F(SettingsWindowTest, RestoreDefaultsKeepsTextsLanguageAndLargeWindow) {
  Text page = Document("page.htm", kGardenDocument);
  ChooseFile(page);
  TypeAndLeave(C::txbBeginMetaTagWith, u"lead");
  TypeAndLeave(C::txbWordsToIgnore, u"foo");
  form->UserSelect(C::cboLanguage, 4);
  form->UserSetChecked(C::chkLargeWindow, true);
  form->UserSelect(C::cboTitleWeight, 0);
  form->UserSelect(C::cboSpanWeight, 9);
  form->UserSetChecked(C::chkSpaceAfterComma, false);
  form->UserSetChecked(C::chkShowWordsAsFound, true);
  form->UserSetChecked(C::optInsertionWithBackup, true);
  TypeAndLeave(C::txbMaxNumBytesInMetaTag, u"900");
  form->UserClick(C::cmdReset);

  AnalysisSettings expected;
  expected.txbInputFile = page;
  expected.txbBeginMetaTagWith = u"lead";
  expected.txbWordsToIgnore = u"foo";
  expected.strWordsToIgnoreList = u"foo,";
  expected.cboLanguage = 4;
  expected.chkLargeWindow = true;
  EXPECT_EQ(form->settings(), expected);
  EXPECT_FALSE(form->analysis().blnWordTableCurrent);
  // The view hears of every control that changed.
  EXPECT_TRUE(ui.WasChanged(C::cboTitleWeight));
  EXPECT_TRUE(ui.WasChanged(C::optInsertionWithoutBackup));
}

TEST_F(SettingsWindowTest, RestoreDefaultsKeepsAPhpDocumentWithBackup) {
  Text script = Document("index.php", kGardenDocument);
  ChooseFile(script);
  form->UserClick(C::cmdReset);
  // The hidden "without backup" must not be the choice: a script is inserted with backup.
  EXPECT_TRUE(form->settings().optInsertionWithBackup);
  EXPECT_FALSE(form->ControlVisible(C::optInsertionWithoutBackup));
  EXPECT_EQ(form->ControlText(C::optInsertionWithBackup), u"with backup");

  // Any other document gets the default choice, both options shown.
  ChooseFile(Document("index.htm", kGardenDocument));
  form->UserClick(C::cmdReset);
  EXPECT_FALSE(form->settings().optInsertionWithBackup);
  EXPECT_TRUE(form->ControlVisible(C::optInsertionWithoutBackup));
  EXPECT_EQ(form->ControlText(C::optInsertionWithBackup), u"with");
}

TEST_F(SettingsWindowTest, GermanKeepCaseQuestion) {
  struct Case {
    MsgAnswer answer;
    bool stillKept;
  };
  for (Case c :
       {Case{MsgAnswer::Yes, false}, Case{MsgAnswer::No, true}, Case{MsgAnswer::Cancel, true}}) {
    form->UserSelect(C::cboLanguage, intGermanLanguageIndex);
    form->UserSetChecked(C::chkPreserveCase, true);
    ui.messages.clear();
    ui.changed.clear();
    ui.answers = {c.answer};
    form->UserSetChecked(C::chkPreserveCase, false);
    // When the answer turns the box back on, the view is told to draw it again.
    EXPECT_EQ(ui.WasChanged(C::chkPreserveCase), c.stillKept);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, u"Confirmation");
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::None);
    EXPECT_EQ(ui.messages[0].text,
              u"For German text it is better to keep upper/lower case.\r\n\r\n"
              u"Are you sure you want all keywords in lower case?");
    EXPECT_EQ(form->settings().chkPreserveCase, c.stillKept);
  }
  // Any other language: no question.
  form->UserSelect(C::cboLanguage, 0);
  form->UserSetChecked(C::chkPreserveCase, true);
  ui.messages.clear();
  form->UserSetChecked(C::chkPreserveCase, false);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(form->settings().chkPreserveCase);
}

TEST_F(SettingsWindowTest, ChoosingPhpForcesBackupAndHtmShowsTheChoiceAgain) {
  Text script = Document("index.php", kGardenDocument);
  Text page = Document("index.htm", kGardenDocument);
  ChooseFile(script);
  EXPECT_TRUE(form->settings().optInsertionWithBackup);
  EXPECT_EQ(form->ControlText(C::optInsertionWithBackup), u"with backup");
  EXPECT_FALSE(form->ControlVisible(C::optInsertionWithoutBackup));
  ChooseFile(page);
  EXPECT_TRUE(form->settings().optInsertionWithBackup);
  EXPECT_EQ(form->ControlText(C::optInsertionWithBackup), u"with");
  EXPECT_TRUE(form->ControlVisible(C::optInsertionWithoutBackup));
  EXPECT_EQ(form->GetControl(C::txbInputFile).tooltip,
            u"To specify a different input file, click on the button at left.");
  ASSERT_FALSE(ui.dialogs.empty());
  EXPECT_EQ(ui.dialogs[0].first, u"Specify input file");
  EXPECT_EQ(ui.dialogs[0].second,
            u"HTML & PHP files (*.htm, *.html, *.shtml, *.php) | *.htm;*.html;*.shtml;*.php");
}

TEST_F(SettingsWindowTest, ChoosingAFileSelectsItsLanguage) {
  struct Case {
    const char* html;
    int32_t language;
    bool ignore;
  };
  const Case cases[] = {
      {"<html lang=\"de\">\r\n<body>Hallo</body></html>\r\n", intGermanLanguageIndex, true},
      {"<html lang=\"en-GB\">\r\n<body>Hello</body></html>\r\n", 0, true},
      {"<html>\r\n<meta http-equiv=\"content-language\" content=\"fr\">\r\n</html>\r\n", 1, true},
      {"<html lang=\"nl\">\r\n<body>Hallo</body></html>\r\n", 0, true},
      // Undeclared: recognised from the words of the text.
      {kGermanDocument.data(), intGermanLanguageIndex, true},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.html);
    form->UserSetChecked(C::chkIgnoreCommonWords, false);
    ChooseFile(Document("doc" + std::to_string(n++) + ".htm", c.html));
    EXPECT_EQ(form->settings().cboLanguage, c.language);
    EXPECT_EQ(form->settings().chkIgnoreCommonWords, c.ignore);
    EXPECT_EQ(form->blnGermanSelected, c.language == intGermanLanguageIndex);
  }
}

TEST_F(SettingsWindowTest, ClickingIntoTheInputBoxOpensTheDialogOnlyWhenEmpty) {
  Text page = Document("page.htm", kGardenDocument);
  ui.chosenFiles.push_back(page);
  form->UserClick(C::txbInputFile);
  EXPECT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(form->settings().txbInputFile, page);
  form->UserClick(C::txbInputFile);
  EXPECT_EQ(ui.dialogs.size(), 1u);
  // Cancelling the dialog keeps the file.
  form->UserClick(C::cmdInputFile);
  EXPECT_EQ(ui.dialogs.size(), 2u);
  EXPECT_EQ(form->settings().txbInputFile, page);
  EXPECT_TRUE(form->ControlEnabled(C::cmdClearInputFile));
}

TEST_F(SettingsWindowTest, ChoosingAMissingFileShowsItsMessageAndKeepsThePath) {
  Text gone = (temp.path() / "missing.htm").u16string();
  ChooseFile(gone);
  EXPECT_EQ(form->settings().txbInputFile, gone);
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(SettingsWindowTest, ClearInputFileEmptiesTheBoxAndShowsBothOptions) {
  ChooseFile(Document("index.php", kGardenDocument));
  form->UserFocus(C::cmdQuit);
  form->UserClick(C::cmdClearInputFile);
  EXPECT_EQ(form->settings().txbInputFile, u"");
  EXPECT_FALSE(form->ControlEnabled(C::cmdClearInputFile));
  EXPECT_EQ(form->Focus(), C::cmdInputFile);
  EXPECT_TRUE(form->ControlVisible(C::optInsertionWithoutBackup));
  EXPECT_EQ(form->ControlText(C::optInsertionWithBackup), u"with");
  // A disabled button does not react.
  form->UserClick(C::cmdClearInputFile);
  EXPECT_EQ(form->settings().txbInputFile, u"");
}

TEST_F(SettingsWindowTest, ClearWordsToIgnore) {
  TypeAndLeave(C::txbWordsToIgnore, u"foo bar");
  ASSERT_EQ(form->settings().strWordsToIgnoreList, u"foo,bar,");
  form->UserClick(C::cmdClearWordsToIgnore);
  EXPECT_EQ(form->ControlText(C::txbWordsToIgnore), u"");
  EXPECT_EQ(form->settings().strWordsToIgnoreList, u"");
  EXPECT_FALSE(form->ControlEnabled(C::cmdClearWordsToIgnore));
  // The command on a box emptied by hand (its Clear button not yet updated) changes nothing
  // but the focus.
  TypeAndLeave(C::txbWordsToIgnore, u"foo");
  form->UserFocus(C::txbWordsToIgnore);
  form->UserEditText(C::txbWordsToIgnore, u"");
  ASSERT_TRUE(form->ControlEnabled(C::cmdClearWordsToIgnore));
  AnalysisSettings before = form->settings();
  form->UserClick(C::cmdClearWordsToIgnore);
  EXPECT_EQ(form->settings(), before);
}

TEST_F(SettingsWindowTest, ScanSettingsInvalidateTheTableAndDisplaySettingsDoNot) {
  Analysis& a = form->analysis();
  struct Case {
    std::function<void()> change;
    bool invalidates;
  };
  const Case cases[] = {
      {[&] { form->UserSelect(C::cboDivWeight, 5); }, true},
      {[&] { form->UserSelect(C::cboThresholdFrequency, 4); }, true},
      {[&] { form->UserSetChecked(C::chkIgnoreShortWords, false); }, true},
      {[&] { form->UserSelect(C::cboLanguage, 5); }, true},
      {[&] { TypeAndLeave(C::txbBeginMetaTagWith, u"x"); }, true},
      {[&] { form->UserClick(C::cmdClearOutput); }, true},
      {[&] { form->UserSetChecked(C::chkSpaceAfterComma, false); }, false},
      {[&] { form->UserSetChecked(C::optInsertionWithBackup, true); }, false},
      {[&] { form->UserSetChecked(C::chkShowWordsAsFound, true); }, false},
      {[&] { form->UserSetChecked(C::chkLargeWindow, true); }, false},
      {[&] { TypeAndLeave(C::txbMaxNumKeywordsInMetaTag, u"30"); }, false},
      {[&] { TypeAndLeave(C::txbMaxNumBytesInMetaTag, u"300"); }, false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n++);
    a.blnWordTableCurrent = true;
    c.change();
    EXPECT_EQ(a.blnWordTableCurrent, !c.invalidates);
  }
}

TEST_F(SettingsWindowTest, LargeWindowArithmetic) {
  ui.screenHeight = 12000;
  form->UserSetChecked(C::chkLargeWindow, true);
  ASSERT_EQ(ui.placements.size(), 1u);
  EXPECT_EQ(ui.placements[0], std::make_pair(300, 10800));
  EXPECT_EQ(form->GetControl(C::txbMetaTag).height, 10800 - 5085 - 855 - 550);
  EXPECT_EQ(form->GetControl(C::Frame1).top, 5085 + (10800 - 5085 - 855 - 550) + 100);

  form->UserSetChecked(C::chkLargeWindow, false);
  ASSERT_EQ(ui.placements.size(), 2u);
  const int32_t normal = form->intNormalHeight;
  EXPECT_EQ(ui.placements[1].second, normal);
  EXPECT_NEAR(ui.placements[1].first, (12000 - normal) / 2.0, 0.5);
  const Control output = form->GetControl(C::txbMetaTag);
  EXPECT_EQ(output.height, normal - 5085 - 855 - 550);
  EXPECT_EQ(form->GetControl(C::Frame1).top, output.top + output.height + 100);
  EXPECT_EQ(form->Window().height, normal);
  // Nothing moves sideways.
  EXPECT_EQ(output.left, 240);
  EXPECT_EQ(output.width, 9240);
}

TEST_F(SettingsWindowTest, HelpOpensFromItsButtonAndFromF1OnTheMainButtons) {
  form->UserClick(C::cmdHelp);
  EXPECT_EQ(ui.helpShown, 1);
  form->UserFocus(C::cmdListWords);
  form->UserF1Released();
  EXPECT_EQ(ui.helpShown, 2);
  form->UserFocus(C::txbWordsToIgnore);
  form->UserF1Released();
  EXPECT_EQ(ui.helpShown, 2);
}

TEST_F(SettingsWindowTest, WebLinksOpenTheirAddressesAndReportFailures) {
  form->UserClick(C::lblOnlineDocumentation);
  form->UserClick(C::lblQuillmark);
  ASSERT_EQ(ui.openedAddresses.size(), 2u);
  EXPECT_EQ(ui.openedAddresses[0], form->texts().GetProgramText(15));
  EXPECT_EQ(ui.openedAddresses[1], form->texts().GetProgramText(315));
  EXPECT_TRUE(ui.messages.empty());
  ui.openResult = 8;
  form->UserClick(C::lblQuillmark);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].caption, u"Cannot launch web browser");
  EXPECT_EQ(ui.messages[0].text,
            u"Error launching web browser, error code = 8.\r\n\r\nOut of memory.");
}

}  // namespace
}  // namespace tw::test
