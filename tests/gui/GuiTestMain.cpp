// Runs the window tests: real windows under Wine (and Xvfb), driven with
// messages, checked by state and by pixels.

#include <gtest/gtest.h>

#include "controls/Pictures.h"
#include "framework/Win32.h"

namespace {

class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES |
                                                     ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&classes);
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    // The skin pictures of the source tree.
    controls::SetImageFolder(L"" ZR_IMAGE_DIR L"\\");
    // No window of a test asks the vendor's server for updates; the update
    // check's own tests point it at a server of their own. The programs
    // that the tests start inherit this.
    ::SetEnvironmentVariableW(L"ZEPHYRLOOM_UPDATE_URL", L"off");
  }
  void TearDown() override {
    Gdiplus::GdiplusShutdown(token_);
    ::CoUninitialize();
  }

 private:
  ULONG_PTR token_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new GuiEnvironment);
  return RUN_ALL_TESTS();
}
