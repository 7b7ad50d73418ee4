#include "tests/program/StagedProgram.h"

#include <tlhelp32.h>

#include <filesystem>

#include "app/Startup.h"
#include "tests/gui/GuiTestSupport.h"

namespace program_test {

namespace fs = std::filesystem;

namespace {

constexpr wchar_t kHelperName[] = L"zephyrloom-phone-rescue-adb-help.exe";

fs::path phoneDatabase(const std::wstring& folder, const wchar_t* provider, const wchar_t* name) {
  return fs::path(folder) / L"demo-phone" / L"data" / L"data" / provider / L"databases" / name;
}

bool copyInto(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::create_directories(to.parent_path(), error);
  return fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
}

}  // namespace

StagedProgram::StagedProgram() : folder_(L"C:\\Zephyrloom Rescue") {
  std::error_code error;
  fs::remove_all(folder_, error);
  const fs::path program(ZR_APP_PATH);
  copyInto(program, fs::path(folder_) / program.filename());
  copyInto(fs::path(ZR_HELPER_PATH), fs::path(folder_) / kHelperName);
  fs::copy(program.parent_path() / L"image", fs::path(folder_) / L"image", fs::copy_options::recursive, error);
}

StagedProgram::~StagedProgram() {
  if (started_) {
    if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(process_.hProcess, 99);
    ::WaitForSingleObject(process_.hProcess, 5000);
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
  }
  std::error_code error;
  fs::remove_all(folder_, error);
  fs::remove_all(L"C:\\Zephyrloom", error);
  fs::remove_all(L"C:\\zephyrloom-phone-rescue", error);
}

bool StagedProgram::PutPhone(const std::wstring& contactsDb, const std::wstring& smsDb) {
  return copyInto(contactsDb, phoneDatabase(folder_, L"com.android.providers.contacts", L"contacts2.db")) &&
         copyInto(smsDb, phoneDatabase(folder_, L"com.android.providers.telephony", L"mmssms.db"));
}

bool StagedProgram::PutDemoPhone() {
  const std::wstring demo = std::wstring(ZR_SOURCE_DIR_W) + L"\\demo\\";
  return PutPhone(demo + L"contacts2.db", demo + L"mmssms.db");
}

void StagedProgram::RemovePhone() {
  std::error_code error;
  fs::remove_all(fs::path(folder_) / L"demo-phone", error);
}

bool StagedProgram::Start(const std::wstring& exportFolder) {
  ::SetEnvironmentVariableW(L"ZEPHYRLOOM_EXPORT_FOLDER", exportFolder.c_str());
  // No update check from a test: it would reach for the network.
  ::SetEnvironmentVariableW(L"ZEPHYRLOOM_UPDATE_URL", L"off");
  std::wstring commandLine = L"\"" + folder_ + L"\\ZephyrloomRescue.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  started_ = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                              &startup, &process_) != FALSE;
  return started_;
}

long StagedProgram::RunAnotherInstance(DWORD timeoutMs) const {
  std::wstring commandLine = L"\"" + folder_ + L"\\ZephyrloomRescue.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION other{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup,
                        &other)) {
    return -1;
  }
  DWORD code = 0;
  const bool ended = ::WaitForSingleObject(other.hProcess, timeoutMs) == WAIT_OBJECT_0;
  if (ended) ::GetExitCodeProcess(other.hProcess, &code);
  if (!ended) ::TerminateProcess(other.hProcess, 99);
  ::CloseHandle(other.hThread);
  ::CloseHandle(other.hProcess);
  return ended ? static_cast<long>(code) : -2;
}

long StagedProgram::WaitForExit(DWORD timeoutMs) {
  if (!started_) return -1;
  if (::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -2;
  DWORD code = 0;
  ::GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<long>(code);
}

bool StagedProgram::Running() const {
  return started_ && ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND StagedProgram::WaitForMainWindow(DWORD timeoutMs) const {
  HWND window = nullptr;
  gui_test::PumpUntil(
      [&] {
        window = ::FindWindowW(L"#32770", app::kSingleInstanceName);
        return window != nullptr && ::IsWindowVisible(window);
      },
      static_cast<int>(timeoutMs));
  return window;
}

int RunningProcessesNamed(const wchar_t* exeName) {
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, exeName) == 0) ++count;
  }
  ::CloseHandle(snapshot);
  return count;
}

}  // namespace program_test
