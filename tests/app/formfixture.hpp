// A main window over the program's data, driven through a scripted platform, with the user's
// application-data folder and the documents in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "app/fakeui.hpp"
#include "app/mainform.hpp"
#include "support/testfiles.hpp"
#include "text/codepage.hpp"

namespace tw::test {

using C = ControlId;

inline std::string U8(TextView text) {
  return ToUtf8(text);
}

// A document whose words occur often enough for the default settings.
inline constexpr std::string_view kGardenDocument =
    "<html>\r\n"
    "<head>\r\n"
    "<title>Garden tools and garden plants</title>\r\n"
    "</head>\r\n"
    "<body>\r\n"
    "<p>Garden tools help every gardener. Tools for every garden.</p>\r\n"
    "<p>Plants need water. Plants grow in the garden with tools.</p>\r\n"
    "</body>\r\n"
    "</html>\r\n";

// A German page that declares no language.
inline constexpr std::string_view kGermanDocument =
    "<html>\r\n<head><title>Installation</title></head>\r\n<body>\r\n"
    "<p>Die Installation des Pakets ist einfach. Laden Sie zuerst das Archiv herunter und "
    "entpacken Sie es in einen Ordner Ihrer Wahl. Starten Sie dann das Skript, das alles "
    "pr\xfc"
    "ft, was Sie brauchen, und sagt Ihnen, was noch fehlt.</p>\r\n</body>\r\n</html>\r\n";

class FormTest : public ::testing::Test {
 protected:
  FormTest() { ui.appData = temp.path() / "appdata"; }

  // Starts a window on `platform` (the fixture's own by default).
  MainForm& Start(FakeUi& platform) {
    platform.appData = ui.appData;
    form = std::make_unique<MainForm>(platform, dataFolder);
    EXPECT_TRUE(form->Startup());
    return *form;
  }
  MainForm& Start() { return Start(ui); }

  // A second start of the program after the first has ended.
  MainForm& Restart() {
    form.reset();
    second = std::make_unique<FakeUi>();
    return Start(*second);
  }

  Text Document(std::string_view name, std::string_view bytes) {
    return temp.Write(name, bytes).u16string();
  }

  // The user picks `path` in the file dialog.
  void ChooseFile(const Text& path) {
    ui.chosenFiles.push_back(path);
    form->UserClick(C::cmdInputFile);
  }

  // The user types into a box and then moves on to `next`.
  void TypeAndLeave(ControlId box, const Text& text, ControlId next = C::cmdQuit) {
    form->UserFocus(box);
    form->UserEditText(box, text);
    form->UserFocus(next);
  }

  const Text& Output() const { return form->OutputText(); }

  TempDir temp;
  FakeUi ui;
  std::unique_ptr<FakeUi> second;
  std::filesystem::path dataFolder = TAGWRIGHT_SOURCE_DATA_DIR;
  std::unique_ptr<MainForm> form;
};

}  // namespace tw::test
