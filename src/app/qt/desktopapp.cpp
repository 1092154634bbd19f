// The desktop program put together.
#include "app/qt/desktopapp.hpp"

#include "app/qt/fonts.hpp"

namespace tw {

DesktopApp::DesktopApp(const std::filesystem::path& dataFolder, QtUiOptions options)
    : ui_(std::make_unique<QtUi>(dataFolder, std::move(options))),
      form_(std::make_unique<MainForm>(*ui_, dataFolder)) {
  InstallFontSubstitutions();
  window_ = std::make_unique<FrmMain>(*form_, *ui_);
  ui_->Attach(window_.get());
}

DesktopApp::~DesktopApp() {
  ui_->Attach(nullptr);
  window_.reset();
  form_.reset();
  ui_.reset();
}

bool DesktopApp::Start() {
  return form_->Startup();
}

}  // namespace tw
