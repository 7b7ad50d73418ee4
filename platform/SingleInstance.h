#pragma once
// The single-instance lock: the first copy of the program takes it and holds
// it until the process ends; later copies see that it is taken.

#include <string>

namespace platform {

// Takes the named lock. Returns false when another process holds it; true
// when this process now holds it, or when no lock could be made at all (the
// program then runs as the only instance).
bool TakeSingleInstanceLock(const std::wstring& name);

}  // namespace platform
