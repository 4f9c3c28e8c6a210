// Where the panel's process looks for libraries. A library found by name in the current
// directory would run with the panel's rights at every logon: the current directory can be any
// folder (a shortcut's start folder, a download folder), so it is never searched.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// Called first thing at start: every later search by name, the system's own included, looks in
// the program's folder and the system folders only.
void restrictLibrarySearch();

// Loads a library named by the program, from the system folder or the program's folder only
// (the driver installs its libraries in the system folder; test and demo layouts put stand-ins
// beside the program). A full path is loaded as it is. Null when it is in neither.
HMODULE loadInstalledLibrary(const std::wstring& name);

}  // namespace platform
