#pragma once
// Where the running program lies, and where other programs are found.

#include <string>

namespace platform {

// The ending of an executable file's name: ".exe" on Windows, "" elsewhere.
const char* ExecutableSuffix();

// The folder of the running executable, without a trailing separator, as a
// narrow path (GetModuleFileNameW on Windows, /proc/self/exe elsewhere).
// Empty when unknown.
std::string ProgramFolder();

// The value of an environment variable as narrow text; empty when it is
// not set (on Windows read wide, so that no character is lost).
std::string EnvironmentVariable(const char* name);

// The first file of that name in the folders of the PATH environment
// variable that can be run; empty when there is none. `fileName` is a
// bare name with its suffix ("adb.exe" on Windows).
std::string FindProgramOnPath(const std::string& fileName);

// The first thing of that name in the folders of the PATH, whether it can
// be run or not (a file without permission to run it, a folder); empty when
// there is none. For saying what is wrong with a program that is there.
std::string FindAnythingOnPath(const std::string& fileName);

}  // namespace platform
