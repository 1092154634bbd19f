// A document given to the window without the file dialog (dropped onto it, or named on the
// command line) is taken exactly as one chosen in the dialog.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/formfixture.hpp"

namespace tw::test {
namespace {

// Everything a view can read of every control, one line each, so that a difference names
// the control.
std::vector<std::string> Snapshot(const MainForm& f) {
  std::vector<std::string> lines;
  for (int32_t i = 0; i < kNumControls; ++i) {
    const Control c = f.GetControl(ControlAt(i));
    lines.push_back(U8(c.name) + ": [" + U8(c.text) + "] checked=" + std::to_string(c.checked) +
                    " selected=" + std::to_string(c.selected) + " enabled=" +
                    std::to_string(c.enabled) + " visible=" + std::to_string(c.visible) +
                    " focused=" + std::to_string(c.focused) + " tooltip=[" + U8(c.tooltip) + "]");
  }
  return lines;
}

struct OpenCase {
  const char* name;
  const char* file;
  const char* bytes;  // null: the file does not exist
  size_t messages;
};

void PrintTo(const OpenCase& c, std::ostream* os) {
  *os << c.name;
}

class OpenFileTest : public FormTest, public testing::WithParamInterface<OpenCase> {};

TEST_P(OpenFileTest, TakenAsIfChosenInTheDialog) {
  const OpenCase& c = GetParam();
  const Text path =
      c.bytes != nullptr ? Document(c.file, c.bytes) : (temp.path() / c.file).u16string();
  FakeUi dialogUi;
  dialogUi.appData = ui.appData;
  MainForm chosen(dialogUi, dataFolder);
  ASSERT_TRUE(chosen.Startup());
  dialogUi.chosenFiles.push_back(path);
  chosen.UserClick(C::cmdInputFile);

  Start();
  form->UserOpenFile(path);

  EXPECT_TRUE(ui.dialogs.empty());
  EXPECT_EQ(form->settings().txbInputFile, path);
  EXPECT_EQ(ui.messages.size(), c.messages);
  EXPECT_EQ(ui.messages, dialogUi.messages);
  EXPECT_EQ(form->settings(), chosen.settings());
  EXPECT_EQ(form->blnGermanSelected, chosen.blnGermanSelected);
  EXPECT_EQ(Snapshot(*form), Snapshot(chosen));
}

INSTANTIATE_TEST_SUITE_P(
    Documents, OpenFileTest,
    testing::Values(OpenCase{"german_page", "seite.htm", kGermanDocument.data(), 0},
                    OpenCase{"php_script", "index.PHP", kGardenDocument.data(), 0},
                    OpenCase{"missing_page", "gone.html", nullptr, 1},
                    OpenCase{"not_html", "notes.txt", kGardenDocument.data(), 1}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(OpenFileTest, IgnoredWhileNoFileCanBeChosen) {
  Start();
  const Text garden = Document("garden.htm", kGardenDocument);
  const Text other = Document("other.htm", kGardenDocument);
  form->UserOpenFile(garden);
  form->UserOpenFile(Text());
  EXPECT_EQ(form->settings().txbInputFile, garden);

  // A document arriving during a run leaves the run's document in place.
  int passes = 0;
  ui.onProcessEvents = [&] {
    ++passes;
    form->UserOpenFile(other);
  };
  form->UserClick(C::cmdGenerateKeywordMetaTag);
  EXPECT_GT(passes, 0);
  EXPECT_EQ(form->settings().txbInputFile, garden);
  EXPECT_NE(Output().find(u"<meta name=\"keywords\""), Text::npos);
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace tw::test
