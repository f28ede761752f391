// Names for files that do not exist yet, and the paths files end at.
#pragma once
#include <windows.h>
#include <string>

// The name to create, or to rename onto, `path` by when nothing stands
// there yet. Under Wine a name that does not exist is looked for in its
// whole folder in every letter case, a scan that grows with the folder;
// the folder's own Unix name, known for certain, with the file's name
// exactly as written, costs none. Elsewhere, and wherever the Unix name is
// not certain, `path` itself.
std::wstring NewFileName(const std::wstring& path);

// `path` as a new file open for writing, sharing nothing (CreateFileW,
// CREATE_NEW): ERROR_FILE_EXISTS where a file stands.
HANDLE CreateNewFile(const std::wstring& path);

// The path the file or folder open as `h` ends at (links followed), as the
// platform names it; empty when it gives none.
std::wstring FinalPath(HANDLE h);
// The same for what `path` opens, a folder too; empty when nothing can be
// opened there.
std::wstring FinalPathAt(const std::wstring& path);
