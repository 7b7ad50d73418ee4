#pragma once
// Owners of the Windows kernel objects the program opens: a handle (file,
// process, thread, event, snapshot) is closed, a registry key released, when
// its owner goes. Windows side only.

#include <windows.h>

namespace platform {

// Owns one kernel handle; INVALID_HANDLE_VALUE, which some functions return
// for failure, is held as no handle.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) { reset(handle); }
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle& operator=(HANDLE handle) {
    reset(handle);
    return *this;
  }

  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset(HANDLE handle = nullptr) {
    if (handle_ != nullptr) ::CloseHandle(handle_);
    handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
  }
  // Hands the handle over to a caller who closes it.
  HANDLE release() {
    const HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

// Owns one opened registry key.
class UniqueRegistryKey {
 public:
  // Opens `path` below `root` for reading; no key when it cannot.
  UniqueRegistryKey(HKEY root, const wchar_t* path) {
    if (::RegOpenKeyExW(root, path, 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~UniqueRegistryKey() {
    if (key_ != nullptr) ::RegCloseKey(key_);
  }
  UniqueRegistryKey(const UniqueRegistryKey&) = delete;
  UniqueRegistryKey& operator=(const UniqueRegistryKey&) = delete;

  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace platform
