// run-command-line "COMMAND LINE": runs the command line exactly as given
// and exits with its exit code. A setup program's /D=FOLDER must come last
// and unquoted even when the folder has spaces, which no Unix shell can
// hand through Wine's own quoting; this hands it through untouched.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

int wmain() {
  int count = 0;
  wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (args == nullptr || count != 2) {
    std::fputs("usage: run-command-line \"COMMAND LINE\"\n", stderr);
    return 125;
  }
  std::wstring commandLine = args[1];
  ::LocalFree(args);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    std::fprintf(stderr, "run-command-line: cannot start it (error %lu)\n", ::GetLastError());
    return 126;
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 127;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return static_cast<int>(code);
}
