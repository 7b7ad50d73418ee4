#pragma once
// Owners of the Windows objects the program opens: a handle (file, process,
// thread, event, snapshot, search, internet) is closed, a registry key
// released, when its owner goes. Windows side only; the device contexts and
// GDI objects of the window have theirs in controls/GdiObjects.h.

#include <windows.h>

namespace platform {

// Owns one object that `Close{}(object)` frees when its owner goes: a
// kernel handle, a find handle, an internet handle. Null, and
// INVALID_HANDLE_VALUE that some functions return for failure, are held as
// no object. (`Close` is a type: the address of a function imported from a
// DLL is no constant for a template argument.)
template <typename Object, typename Close>
class UniqueObject {
 public:
  UniqueObject() = default;
  explicit UniqueObject(Object object) { reset(object); }
  ~UniqueObject() { reset(); }
  UniqueObject(const UniqueObject&) = delete;
  UniqueObject& operator=(const UniqueObject&) = delete;
  UniqueObject(UniqueObject&& other) noexcept : object_(other.release()) {}
  UniqueObject& operator=(UniqueObject&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueObject& operator=(Object object) {
    reset(object);
    return *this;
  }

  Object get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void reset(Object object = nullptr) {
    if (object_ != nullptr) Close{}(object_);
    object_ = object == INVALID_HANDLE_VALUE ? nullptr : object;
  }
  // Hands the object over to a caller who frees it.
  Object release() {
    const Object object = object_;
    object_ = nullptr;
    return object;
  }

 private:
  Object object_ = nullptr;
};

struct CloseKernelHandle {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
struct CloseFindHandle {
  void operator()(HANDLE handle) const { ::FindClose(handle); }
};

// A file, process, thread, event, job or snapshot handle.
using UniqueHandle = UniqueObject<HANDLE, CloseKernelHandle>;
// A FindFirstFileW search.
using UniqueFindHandle = UniqueObject<HANDLE, CloseFindHandle>;

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
