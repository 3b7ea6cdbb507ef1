// The exchange folder's Windows side: the folder opened once with
// FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT and held, sharing only
// reading, until the port goes; its pictures opened, deleted (FileDispositionInfo on
// their own handle) and made (FILE_CREATE, the owner-only descriptor of
// owner_only_file_win32.h) by NtCreateFile relative to that handle, never by path.
#pragma once

#include <windows.h>

#include "saver/capture/exchange_folder_rules.h"

namespace sorvanta::capture {

class ExchangeFolderPortWin32 final : public ExchangeFolderPort {
 public:
  ExchangeFolderPortWin32() = default;
  ~ExchangeFolderPortWin32() override;
  ExchangeFolderPortWin32(const ExchangeFolderPortWin32&) = delete;
  ExchangeFolderPortWin32& operator=(const ExchangeFolderPortWin32&) = delete;

  EntryKind openFolder(const std::string& path) override;
  EntryKind folderByPath(const std::string& path) override;
  EntryKind openEntry(const std::string& name) override;
  bool deleteOpenEntry() override;
  FileWriteResult createFile(const std::string& name, const std::uint8_t* head,
                             std::size_t headSize, const std::uint8_t* body,
                             std::size_t bodySize) override;

 private:
  void closeEntry();

  HANDLE folder_ = INVALID_HANDLE_VALUE;
  HANDLE entry_ = INVALID_HANDLE_VALUE;
};

}  // namespace sorvanta::capture
