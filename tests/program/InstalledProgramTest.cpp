// The program as the setup program installed it, started the way a user
// starts it: from its Start menu shortcut. Run by tests/dist/
// test-windows-setup.sh after a silent install into a fresh prefix, which
// names the shortcut in ZR_INSTALLED_SHORTCUT; skipped otherwise.

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ProductVersion.h"
#include "app/Startup.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/program/RemoteUi.h"

namespace program_test {
namespace {

namespace fs = std::filesystem;

constexpr int kRefresh = 1033;

struct ShortcutTarget {
  std::wstring path;
  std::wstring folder;
};

// What the shell starts for a shortcut: its target and working folder.
ShortcutTarget ResolveShortcut(const std::wstring& shortcut) {
  ShortcutTarget target;
  IShellLinkW* link = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
    return target;
  }
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ))) {
      // The target as the shell finds it: through the item list, whose names
      // are UTF-16 (the shortcut's plain path is in the ANSI code page).
      wchar_t buffer[MAX_PATH] = {};
      PIDLIST_ABSOLUTE items = nullptr;
      if (SUCCEEDED(link->GetIDList(&items)) && items != nullptr) {
        if (::SHGetPathFromIDListW(items, buffer)) target.path = buffer;
        ::CoTaskMemFree(items);
      }
      buffer[0] = L'\0';
      if (SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH))) target.folder = buffer;
    }
    file->Release();
  }
  link->Release();
  return target;
}

// The ProductVersion text of a file's version resource.
std::wstring ProductVersionOf(const std::wstring& file) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return L"";
  std::vector<unsigned char> data(size);
  if (!::GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return L"";
  wchar_t* text = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(data.data(), L"\\StringFileInfo\\040904b0\\ProductVersion", reinterpret_cast<void**>(&text),
                        &length) ||
      text == nullptr) {
    return L"";
  }
  return std::wstring(text, length > 0 ? length - 1 : 0);
}

// Read as UTF-16: the folder may have any characters, whatever the code page.
std::wstring WideEnvironment(const wchar_t* name) {
  const DWORD length = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (length == 0) return L"";
  std::wstring value(length, L'\0');
  value.resize(::GetEnvironmentVariableW(name, value.data(), length));
  return value;
}

class InstalledProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    shortcut_ = WideEnvironment(L"ZR_INSTALLED_SHORTCUT");
    if (shortcut_.empty()) {
      GTEST_SKIP() << "ZR_INSTALLED_SHORTCUT is not set (run by test-windows-setup.sh)";
    }
    ::CoInitialize(nullptr);
  }
  void TearDown() override {
    if (!shortcut_.empty()) ::CoUninitialize();
  }
  std::wstring shortcut_;
};

TEST_F(InstalledProgram, StartsFromItsShortcutAndShowsTheConnectPage) {
  const ShortcutTarget target = ResolveShortcut(shortcut_);
  ASSERT_FALSE(target.path.empty()) << "the shortcut cannot be read";
  EXPECT_EQ(fs::path(target.path).filename(), L"ZephyrloomRescue.exe");
  EXPECT_EQ(fs::path(target.folder), fs::path(target.path).parent_path()) << "started in its own folder";
  const std::wstring folder = WideEnvironment(L"ZR_INSTALLED_FOLDER");
  if (!folder.empty()) {
    EXPECT_EQ(fs::path(target.path).parent_path(), fs::path(folder));
  }
  EXPECT_EQ(ProductVersionOf(target.path), ZR_VERSION_WIDE);
  EXPECT_GE(::ExtractIconExW(target.path.c_str(), -1, nullptr, nullptr, 0), 1u) << "the Start menu shows its icon";

  ::SetEnvironmentVariableW(L"ZEPHYRLOOM_UPDATE_URL", L"off");
  std::wstring commandLine = L"\"" + target.path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               target.folder.c_str(), &startup, &process));
  HWND window = nullptr;
  gui_test::PumpUntil(
      [&] { return (window = ::FindWindowW(L"#32770", app::kSingleInstanceName)) != nullptr; }, 30000);
  ASSERT_NE(window, nullptr) << "no main window";
  // No adb and no phone in a fresh prefix: the connect page tries the
  // helper and ends on its failure screen.
  EXPECT_TRUE(gui_test::PumpUntil([&] { return ChildVisible(window, kRefresh); }, 60000)) << "no connect page";

  ::PostMessageW(window, WM_CLOSE, 0, 0);
  DWORD code = 99;
  EXPECT_EQ(::WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
  ::GetExitCodeProcess(process.hProcess, &code);
  EXPECT_EQ(code, 0u);
  if (::WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(process.hProcess, 99);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
}

}  // namespace
}  // namespace program_test
