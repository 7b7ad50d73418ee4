#pragma once
// Wine loads an executable that another program imports from, but does not
// bind the executable's own imports (Windows does). This binds them the way
// the Windows loader would, so that the exported functions can run.

namespace export_test {

// Binds every import of the loaded module `moduleName`; false when the module
// is not loaded or an import cannot be found.
bool BindImportsOf(const wchar_t* moduleName);

}  // namespace export_test
