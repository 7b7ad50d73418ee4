#include "platform/SingleInstance.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace platform {

#ifdef _WIN32

bool TakeSingleInstanceLock(const std::wstring& name) {
  // Never closed: the first instance holds the mutex until it ends.
  const HANDLE mutex = ::CreateMutexW(nullptr, TRUE, name.c_str());
  return !(mutex != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS);
}

#else

bool TakeSingleInstanceLock(const std::wstring& name) {
  std::string file;
  for (const wchar_t c : name) file += (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') ? static_cast<char>(c) : '_';
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string path = std::string(runtime != nullptr ? runtime : "/tmp") + "/" + file + ".lock";
  // Never closed: the lock lasts as long as the process.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;
  return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

#endif

}  // namespace platform
