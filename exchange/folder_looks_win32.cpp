#include "exchange/folder_looks_win32.h"

namespace exchange {

EntryKind kindOfHandle(HANDLE handle, bool wantFolder) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag)) {
    return EntryKind::kUnreadable;
  }
  if ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return EntryKind::kLink;
  }
  const bool isFolder = (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return isFolder == wantFolder ? EntryKind::kPlain : EntryKind::kUnreadable;
}

EntryKind kindOfFolderPath(const wchar_t* path) {
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return EntryKind::kMissing;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return EntryKind::kLink;
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::kPlain : EntryKind::kUnreadable;
}

HANDLE openFolderNoFollow(const wchar_t* path) {
  return CreateFileW(path, FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                     FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool folderIsPlain(const wchar_t* path) {
  HANDLE folder = openFolderNoFollow(path);
  if (folder == INVALID_HANDLE_VALUE) {
    return false;
  }
  const EntryKind byHandle = kindOfHandle(folder, true);
  CloseHandle(folder);
  return folderIsUsable(byHandle, kindOfFolderPath(path));
}

}  // namespace exchange
