#pragma once
// The real program as a user has it: ZephyrloomRescue.exe with its
// pictures and the adb helper in a folder on drive C of the test's own Wine
// prefix (so that its phone copies, below that drive's root, stay inside
// the prefix), optionally with a phone beside the helper, started as a
// process of its own and driven through its windows.

#include <windows.h>

#include <string>

namespace program_test {

class StagedProgram {
 public:
  StagedProgram();
  ~StagedProgram();
  StagedProgram(const StagedProgram&) = delete;
  StagedProgram& operator=(const StagedProgram&) = delete;

  // Puts a phone beside the helper: the two databases it serves.
  bool PutPhone(const std::wstring& contactsDb, const std::wstring& smsDb);
  // Puts the demo phone of the source tree beside the helper.
  bool PutDemoPhone();
  void RemovePhone();

  // Starts the program; the export folder (the folder picker's answer) is
  // the given one.
  bool Start(const std::wstring& exportFolder);
  HANDLE process() const { return process_.hProcess; }
  // The exit code, or -2 when it has not ended within the time.
  long WaitForExit(DWORD timeoutMs);
  bool Running() const;
  // Starts the program once more and waits for that process to end; its
  // exit code, or -2 when it did not end within the time.
  long RunAnotherInstance(DWORD timeoutMs) const;
  // The main window once it shows; null when it does not within the time.
  HWND WaitForMainWindow(DWORD timeoutMs = 20000) const;

  const std::wstring& folder() const { return folder_; }
  // Where the program puts its copies (below the root of drive C).
  static std::wstring ContactsCopy() { return L"C:\\Zephyrloom\\contacts2.db"; }
  static std::wstring SmsCopy() { return L"C:\\zephyrloom-phone-rescue\\mmssms.db"; }

 private:
  std::wstring folder_;
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

// Helper processes of the given file name that are running.
int RunningProcessesNamed(const wchar_t* exeName);

}  // namespace program_test
