#include "app/Startup.h"

#include "app/CMainDlg.h"
#include "controls/Pictures.h"
#include "platform/FileOperations.h"
#include "platform/ProgramLocation.h"
#include "platform/SingleInstance.h"
#include "platform/TextEncoding.h"

namespace app {

int RunProgram() {
  ::CoInitialize(nullptr);
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&classes);
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR gdiplusToken = 0;
  Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr);

  if (!platform::TakeSingleInstanceLock(kSingleInstanceName)) {
    // Another copy runs: leave quietly, without a window.
    Gdiplus::GdiplusShutdown(gdiplusToken);
    ::CoUninitialize();
    return 0;
  }
  controls::SetImageFolder(platform::wideFromNarrow(platform::joinPath(platform::ProgramFolder(), "image")) + L"\\");

  INT_PTR exitCode = -1;
  {
    CMainDlg mainWindow;
    exitCode = mainWindow.DoModal(::GetActiveWindow());
  }
  Gdiplus::GdiplusShutdown(gdiplusToken);
  ::CoUninitialize();
  return static_cast<int>(exitCode);
}

}  // namespace app
