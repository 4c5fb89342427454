// Removal of folder trees behind the recursive deletion functions. Read-only files are cleared
// before deletion; what cannot be deleted stays, and the removal goes on with the rest.
#pragma once
#include <functional>

// Told about each file that resists deletion: its full path and the system error code. The
// result is not used.
using DeleteErrorCallback = std::function<int(const wchar_t* path, unsigned long error)>;

// Removes `folder` with everything below it, ignoring files that cannot be deleted.
void DeleteDirectories(const wchar_t* folder);
// The same, calling `onError` (when set) for every file that cannot be deleted.
void DeleteDirectoriesEx(const wchar_t* folder, const DeleteErrorCallback& onError);
