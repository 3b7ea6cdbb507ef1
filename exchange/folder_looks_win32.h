// The two looks at an exchange path that follow no link: what a handle opened with
// FILE_FLAG_OPEN_REPARSE_POINT shows (FILE_ATTRIBUTE_TAG_INFO), and what the path's
// attributes show. On Windows the handle tells a mount point or a symbolic link; under
// Wine only the path tells a Unix link in place of the folder.
#pragma once

#include <windows.h>

#include "exchange/entry_kind.h"

namespace exchange {

EntryKind kindOfHandle(HANDLE handle, bool wantFolder);
EntryKind kindOfFolderPath(const wchar_t* path);

// The folder opened without following a link, sharing only reading, or
// INVALID_HANDLE_VALUE.
HANDLE openFolderNoFollow(const wchar_t* path);

// Whether the folder at `path` may be read from: both looks show a plain folder.
bool folderIsPlain(const wchar_t* path);

}  // namespace exchange
