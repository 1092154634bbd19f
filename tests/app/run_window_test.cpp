// The analysis commands as the window runs them: locking, Stop, "Show words as found" during
// a run, reuse of a current table, the error path, insertion, copying and clearing.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "app/formfixture.hpp"
#include "text/strproc.hpp"

namespace tw::test {
namespace {

// Made-up words that no filter drops: three syllables each, 125 of them.
std::string LongDocument() {
  const char* syllables[] = {"ba", "ko", "ri", "mu", "te"};
  std::string doc = "<html>\r\n<body>\r\n";
  for (const char* a : syllables) {
    for (const char* b : syllables) {
      doc += "<p>";
      for (const char* c : syllables) {
        doc += std::string(a) + b + c + "n ";
      }
      doc += "</p>\r\n";
    }
  }
  doc += "</body>\r\n</html>\r\n";
  return doc;
}

class RunWindowTest : public FormTest {
 protected:
  void SetUp() override {
    Start();
    garden = Document("garden.htm", kGardenDocument);
    longDoc = Document("long.htm", LongDocument());
  }

  // Clicks Stop once, on the first event pass at which the table holds `words` words.
  void StopAt(int32_t words) {
    ui.onProcessEvents = [this, words, clicked = false]() mutable {
      if (!clicked && form->analysis().table().intNumWords() >= words) {
        clicked = true;
        form->UserClick(C::cmdListWords);
      }
    };
  }

  void ExpectIdle() {
    EXPECT_EQ(form->ControlText(C::cmdListWords), u"List words");
    EXPECT_FALSE(form->RunInProgress());
    EXPECT_TRUE(form->ControlEnabled(C::cmdGenerateKeywordMetaTag));
    EXPECT_TRUE(form->ControlEnabled(C::cmdInputFile));
    EXPECT_TRUE(form->ControlEnabled(C::cboTitleWeight));
    EXPECT_TRUE(form->ControlEnabled(C::cmdInsert));
  }

  Text garden;
  Text longDoc;
};

TEST_F(RunWindowTest, GeneratingShowsTheTagAndTheCountLabels) {
  ChooseFile(garden);
  form->UserClick(C::cmdGenerateKeywordMetaTag);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_NE(Output().find(u"<meta name=\"keywords\" content=\""), Text::npos);
  EXPECT_NE(Output().find(u"garden"), Text::npos);
  EXPECT_TRUE(form->analysis().blnWordTableCurrent);
  EXPECT_EQ(form->ControlText(C::lblNumberOfWords2),
            u"Number of words satisfying above conditions:");
  EXPECT_EQ(form->ControlText(C::lblNumberOfWords),
            NumberText(form->analysis().table().intNumWords()));
  ExpectIdle();
}

TEST_F(RunWindowTest, DuringARunOnlyStopQuitTheDisplayBoxesAndTheOutputAreEnabled) {
  TypeAndLeave(C::txbWordsToIgnore, u"");
  ChooseFile(longDoc);
  std::vector<ControlId> enabledDuringRun;
  Text captionDuringRun;
  ui.onProcessEvents = [&] {
    if (!captionDuringRun.empty()) return;
    captionDuringRun = form->ControlText(C::cmdListWords);
    for (int32_t i = 0; i < kNumControls; ++i) {
      if (ControlAt(i) != C::Frame1 && form->ControlEnabled(ControlAt(i))) {
        enabledDuringRun.push_back(ControlAt(i));
      }
    }
  };
  form->UserClick(C::cmdGenerateKeywordMetaTag);
  EXPECT_EQ(captionDuringRun, u"Stop");
  std::sort(enabledDuringRun.begin(), enabledDuringRun.end());
  std::vector<ControlId> allowed = {C::cmdListWords,
                                    C::chkLargeWindow,
                                    C::chkShowWordsAsFound,
                                    C::lblNumberOfWords2,
                                    C::lblNumberOfWords,
                                    C::txbMetaTag,
                                    C::cmdQuit};
  std::sort(allowed.begin(), allowed.end());
  EXPECT_EQ(enabledDuringRun, allowed);
  ExpectIdle();
  // Afterwards the Clear buttons of empty boxes stay disabled.
  EXPECT_FALSE(form->ControlEnabled(C::cmdClearWordsToIgnore));
  EXPECT_FALSE(form->ControlEnabled(C::cmdClearBeginMetaTagWith));
  EXPECT_TRUE(form->ControlEnabled(C::cmdClearInputFile));
}

TEST_F(RunWindowTest, StopEndsTheRunWithTheNumberOfWordsFound) {
  ChooseFile(longDoc);
  for (int32_t target : {0, 1, 2, 7}) {
    SCOPED_TRACE(target);
    StopAt(target);
    form->UserClick(C::cmdListWords);
    const int32_t found = form->analysis().table().intNumWords();
    EXPECT_EQ(found, target);
    Text expected = u"Stopped with " + NumberText(found) + (found == 1 ? u" word" : u" words") +
                    u" identified.";
    EXPECT_EQ(Output(), expected);  // not showing words as found: only the stop text
    EXPECT_FALSE(form->analysis().blnWordTableCurrent);
    EXPECT_EQ(form->ControlText(C::lblNumberOfWords), u"");
    EXPECT_EQ(form->ControlText(C::lblNumberOfWords2), u"");
    ASSERT_FALSE(ui.carets.empty());
    EXPECT_EQ(ui.carets.back(),
              std::make_pair(C::txbMetaTag, static_cast<int32_t>(Output().size())));
    ExpectIdle();
  }
}

TEST_F(RunWindowTest, StopWhileShowingWordsKeepsThemAboveTheStopText) {
  ChooseFile(longDoc);
  form->UserSetChecked(C::chkShowWordsAsFound, true);
  StopAt(3);
  form->UserClick(C::cmdListWords);
  const Text tail = u"\r\n\r\nStopped with 3 words identified.";
  ASSERT_GT(Output().size(), tail.size());
  EXPECT_EQ(Output().substr(Output().size() - tail.size()), tail);
  EXPECT_EQ(Output().rfind(u"bababan ", 0), 0u);
}

TEST_F(RunWindowTest, ToggingShowWordsAsFoundOffAndOnLeavesTheOutputAsItWas) {
  ChooseFile(longDoc);
  form->UserSetChecked(C::chkShowWordsAsFound, true);
  int calls = 0;
  Text before, afterUntick, afterTick;
  ui.onProcessEvents = [&] {
    if (++calls != 10) return;
    before = Output();
    form->UserSetChecked(C::chkShowWordsAsFound, false);
    afterUntick = Output();
    form->UserSetChecked(C::chkShowWordsAsFound, true);
    afterTick = Output();
  };
  form->UserClick(C::cmdListWords);
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(afterUntick, before + u"\r\n\r\n{NOT showing words as found.}");
  EXPECT_EQ(afterTick, before);
}

TEST_F(RunWindowTest, TickingDuringARunRemovesTheNoticeAndWordsFollow) {
  ChooseFile(longDoc);
  int calls = 0;
  Text atTick, later;
  ui.onProcessEvents = [&] {
    ++calls;
    if (calls == 5) {
      atTick = Output();
      form->UserSetChecked(C::chkShowWordsAsFound, true);
      EXPECT_EQ(Output(), u"");
    }
    if (calls == 40) later = Output();
  };
  form->UserClick(C::cmdListWords);
  EXPECT_EQ(atTick, u"{NOT showing words as found.}");
  EXPECT_FALSE(later.empty());
  EXPECT_EQ(later.find(u"{NOT"), Text::npos);
}

TEST_F(RunWindowTest, TickingWhenTheBoxIsShorterThanTheNoticeRemovesOnlyWhatIsThere) {
  ChooseFile(longDoc);
  int calls = 0;
  Text afterTick = u"unset";
  ui.onProcessEvents = [&] {
    if (++calls != 5) return;
    form->UserEditText(C::txbMetaTag, u"ab");
    form->UserSetChecked(C::chkShowWordsAsFound, true);
    afterTick = Output();
  };
  form->UserClick(C::cmdListWords);
  EXPECT_EQ(afterTick, u"");
}

TEST_F(RunWindowTest, F1OnTheStopButtonDuringARunOpensHelp) {
  ChooseFile(longDoc);
  int calls = 0;
  ui.onProcessEvents = [&] {
    if (++calls != 3) return;
    form->UserFocus(C::cmdListWords);
    form->UserF1Released();
  };
  form->UserClick(C::cmdGenerateKeywordMetaTag);
  EXPECT_EQ(ui.helpShown, 1);
  ExpectIdle();
}

TEST_F(RunWindowTest, ShowWordsAsFoundOutsideARunOnlyChangesTheSetting) {
  form->UserEditText(C::txbMetaTag, u"my notes");
  form->UserSetChecked(C::chkShowWordsAsFound, true);
  form->UserSetChecked(C::chkShowWordsAsFound, false);
  EXPECT_EQ(Output(), u"my notes");
  EXPECT_FALSE(form->settings().chkShowWordsAsFound);
}

TEST_F(RunWindowTest, ACurrentTableIsReusedWithoutReadingTheFileAgain) {
  ChooseFile(garden);
  form->UserClick(C::cmdGenerateKeywordMetaTag);
  ASSERT_TRUE(form->analysis().blnWordTableCurrent);
  std::filesystem::remove(std::filesystem::path(garden));
  form->UserClick(C::cmdListWords);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_NE(Output().find(u"garden"), Text::npos);
  EXPECT_EQ(Output().find(u"<meta name="), Text::npos);
  // A changed scan setting makes the next command read the file, which is gone.
  form->UserSelect(C::cboTitleWeight, 3);
  form->UserClick(C::cmdListWords);
  EXPECT_EQ(ui.messages.size(), 1u);
  ExpectIdle();
}

TEST_F(RunWindowTest, AFailureDuringTheRunLeavesTheWindowUsable) {
  ChooseFile(longDoc);
  int calls = 0;
  ui.onProcessEvents = [&] {
    if (++calls == 3) throw std::runtime_error("read failure");
  };
  form->UserClick(C::cmdGenerateKeywordMetaTag);
  EXPECT_FALSE(form->analysis().blnWordTableCurrent);
  ExpectIdle();
  ui.onProcessEvents = nullptr;
  form->UserClick(C::cmdGenerateKeywordMetaTag);
  EXPECT_TRUE(form->analysis().blnWordTableCurrent);
}

TEST_F(RunWindowTest, ARefusedFileLeavesTheWindowIdleWithItsOutput) {
  ChooseFile(garden);
  form->UserClick(C::cmdGenerateKeywordMetaTag);
  ChooseFile(Document("tiny.htm", "<p>"));
  ui.messages.clear();
  form->UserClick(C::cmdListWords);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, u"File contains from 1 to 4 bytes only.");
  EXPECT_FALSE(form->analysis().blnWordTableCurrent);
  ExpectIdle();
}

TEST_F(RunWindowTest, QuitDuringARunStopsItAndSavesTheState) {
  ChooseFile(longDoc);
  ui.onProcessEvents = [this, done = false]() mutable {
    if (done) return;
    done = true;
    form->UserClick(C::cmdQuit);
  };
  form->UserClick(C::cmdListWords);
  EXPECT_EQ(ui.ended, 1);
  EXPECT_TRUE(std::filesystem::exists(form->stateFile().file));
  EXPECT_LT(ui.processEventsCalls, 5);
  ExpectIdle();
}

TEST_F(RunWindowTest, CopyPutsTheTagAloneOnTheClipboard) {
  ChooseFile(garden);
  form->UserClick(C::cmdGenerateKeywordMetaTag);
  form->UserClick(C::cmdCopyToClipboard);
  EXPECT_EQ(ui.clipboardClears, 1);
  ASSERT_TRUE(ui.clipboard.has_value());
  EXPECT_EQ(ui.clipboard->rfind(u"<meta name=\"keywords\" content=\"", 0), 0u);
  EXPECT_EQ(ui.clipboard->find(u"Number of keywords"), Text::npos);
  EXPECT_EQ(ui.clipboard->back(), u'>');
}

TEST_F(RunWindowTest, ClearOutputEmptiesTheBoxAndTheLabels) {
  ChooseFile(garden);
  form->UserClick(C::cmdGenerateKeywordMetaTag);
  form->UserClick(C::cmdClearOutput);
  EXPECT_EQ(Output(), u"");
  EXPECT_EQ(form->ControlText(C::lblNumberOfWords), u"");
  EXPECT_EQ(form->ControlText(C::lblNumberOfWords2), u"");
  EXPECT_FALSE(form->analysis().blnWordTableCurrent);
}

TEST_F(RunWindowTest, ShowExistingTagsReportsTheDocumentsHead) {
  ChooseFile(garden);
  form->UserClick(C::cmdShowExistingKeywordMetaTag);
  EXPECT_EQ(Output().rfind(u"TITLE: Garden tools and garden plants\r\n", 0), 0u);
  EXPECT_NE(Output().find(u"No keywords meta tag found."), Text::npos);
}

class InsertWindowTest : public RunWindowTest {};

TEST_F(InsertWindowTest, RefusalsComeInTheirOrderWithTheButtonCaption) {
  const Text caption = u"Insert meta tag into file";
  form->UserClick(C::cmdInsert);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, form->texts().GetProgramText(7));
  EXPECT_EQ(ui.messages[0].caption, caption);

  ChooseFile(garden);
  ui.messages.clear();
  form->UserClick(C::cmdInsert);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, u"Nothing to insert.");

  ui.messages.clear();
  form->UserEditText(C::txbMetaTag, u"  my own text  ");
  form->UserClick(C::cmdInsert);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, u"The keywords meta tag has not been generated.");
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Information);
  EXPECT_EQ(Output(), u"my own text");  // trimmed and written back

  form->UserClick(C::cmdGenerateKeywordMetaTag);
  std::filesystem::remove(std::filesystem::path(garden));
  ui.messages.clear();
  form->UserClick(C::cmdInsert);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, u"File not found.");
  EXPECT_EQ(ui.messages[0].caption, caption);
}

TEST_F(InsertWindowTest, AWordListInTheBoxIsReplacedByTheTagBeforeInserting) {
  ChooseFile(garden);
  form->UserSetChecked(C::optInsertionWithBackup, true);
  form->UserClick(C::cmdListWords);
  ASSERT_EQ(Output().find(u"<meta name="), Text::npos);
  form->UserClick(C::cmdInsert);
  EXPECT_NE(Output().find(u"Number of keywords in meta tag:"), Text::npos);
  const Text tag = GetMetaTag(Output());
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, u"Meta tag inserted successfully into document.");
  Text backup = (temp.path() / "garden.bak.htm").u16string();
  EXPECT_EQ(ui.messages[1].text, u"The original file was backed up as\r\n" + backup);
  EXPECT_EQ(ReadBytes(std::filesystem::path(backup)), kGardenDocument);
  std::string written = ReadBytes(std::filesystem::path(garden));
  EXPECT_NE(written.find(U8(tag) + "\r\n</head>\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tw::test
