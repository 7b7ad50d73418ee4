#include "tests/export-class/ProgramImports.h"

#include <windows.h>

#include <cstdint>

namespace export_test {

namespace {

template <typename T>
T* at(HMODULE module, DWORD rva) {
  return reinterpret_cast<T*>(reinterpret_cast<std::uint8_t*>(module) + rva);
}

FARPROC resolve(HMODULE library, HMODULE module, const IMAGE_THUNK_DATA& name) {
  if (IMAGE_SNAP_BY_ORDINAL(name.u1.Ordinal)) {
    return ::GetProcAddress(library, MAKEINTRESOURCEA(IMAGE_ORDINAL(name.u1.Ordinal)));
  }
  const auto* byName = at<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(name.u1.AddressOfData));
  return ::GetProcAddress(library, reinterpret_cast<const char*>(byName->Name));
}

bool bindLibrary(HMODULE module, const IMAGE_IMPORT_DESCRIPTOR& entry) {
  const HMODULE library = ::LoadLibraryA(at<const char>(module, entry.Name));
  if (library == nullptr) return false;
  auto* names = at<IMAGE_THUNK_DATA>(module, entry.OriginalFirstThunk != 0 ? entry.OriginalFirstThunk : entry.FirstThunk);
  auto* slots = at<IMAGE_THUNK_DATA>(module, entry.FirstThunk);
  for (; names->u1.AddressOfData != 0; ++names, ++slots) {
    const FARPROC function = resolve(library, module, *names);
    if (function == nullptr) return false;
    DWORD previous = 0;
    ::VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &previous);
    slots->u1.Function = reinterpret_cast<ULONG_PTR>(function);
    ::VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, previous, &previous);
  }
  return true;
}

}  // namespace

bool BindImportsOf(const wchar_t* moduleName) {
  const HMODULE module = ::GetModuleHandleW(moduleName);
  if (module == nullptr) return false;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
  const auto* nt = at<const IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return true;
  for (auto* entry = at<const IMAGE_IMPORT_DESCRIPTOR>(module, imports.VirtualAddress); entry->Name != 0; ++entry) {
    if (!bindLibrary(module, *entry)) return false;
  }
  return true;
}

}  // namespace export_test
