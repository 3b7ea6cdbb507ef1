#include "saver/capture/exchange_folder_win32.h"

#include <winternl.h>

#include <string>

#include "exchange/folder_looks_win32.h"
#include "saver/capture/owner_only_file_win32.h"
#include "saver/text/wide_text_win32.h"

namespace sorvanta::capture {

namespace {

// Opens `name` in `folder` through NtCreateFile, relative to the folder's handle.
NTSTATUS openRelative(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG share,
                      ULONG disposition, ULONG options, void* descriptor, HANDLE& handle) {
  UNICODE_STRING objectName;
  objectName.Buffer = const_cast<wchar_t*>(name.c_str());
  objectName.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  objectName.MaximumLength = objectName.Length;
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, folder, descriptor);
  IO_STATUS_BLOCK status{};
  return NtCreateFile(&handle, access | SYNCHRONIZE, &attributes, &status, nullptr,
                      FILE_ATTRIBUTE_NORMAL, share, disposition,
                      options | FILE_NON_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
}

// WriteFile takes at most 4 GiB - 1 a call; the pictures stay far below, but a
// long body is still written in pieces rather than truncated.
bool writeAll(HANDLE file, const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kPiece = 1u << 30;
  while (size > 0) {
    const DWORD piece = static_cast<DWORD>(size < kPiece ? size : kPiece);
    DWORD written = 0;
    if (!WriteFile(file, data, piece, &written, nullptr) || written != piece) {
      return false;
    }
    data += piece;
    size -= piece;
  }
  return true;
}

bool markDeleted(HANDLE file) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

}  // namespace

ExchangeFolderPortWin32::~ExchangeFolderPortWin32() {
  closeEntry();
  if (folder_ != INVALID_HANDLE_VALUE) {
    CloseHandle(folder_);
  }
}

void ExchangeFolderPortWin32::closeEntry() {
  if (entry_ != INVALID_HANDLE_VALUE) {
    CloseHandle(entry_);
    entry_ = INVALID_HANDLE_VALUE;
  }
}

EntryKind ExchangeFolderPortWin32::openFolder(const std::string& path) {
  // Nobody may delete, rename or write the folder while it is held: only reading is
  // shared, so it cannot be swapped for a link between here and the last picture.
  folder_ = exchange::openFolderNoFollow(Sorvanta_B::widen(path).c_str());
  if (folder_ == INVALID_HANDLE_VALUE) {
    return EntryKind::kMissing;
  }
  return exchange::kindOfHandle(folder_, true);
}

EntryKind ExchangeFolderPortWin32::folderByPath(const std::string& path) {
  return exchange::kindOfFolderPath(Sorvanta_B::widen(path).c_str());
}

EntryKind ExchangeFolderPortWin32::openEntry(const std::string& name) {
  closeEntry();
  if (folder_ == INVALID_HANDLE_VALUE) {
    return EntryKind::kNoFolder;
  }
  const NTSTATUS status =
      openRelative(folder_, Sorvanta_B::widen(name), DELETE | FILE_READ_ATTRIBUTES,
                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN,
                   FILE_OPEN_REPARSE_POINT, nullptr, entry_);
  if (!NT_SUCCESS(status)) {
    entry_ = INVALID_HANDLE_VALUE;
    const bool missing = status == static_cast<NTSTATUS>(0xC0000034L);  // name not found
    return missing ? EntryKind::kMissing : EntryKind::kUnreadable;
  }
  const EntryKind kind = exchange::kindOfHandle(entry_, false);
  if (kind != EntryKind::kPlain) {
    closeEntry();
  }
  return kind;
}

bool ExchangeFolderPortWin32::deleteOpenEntry() {
  if (entry_ == INVALID_HANDLE_VALUE) {
    return false;
  }
  const bool marked = markDeleted(entry_);
  closeEntry();  // the file goes with its last handle
  return marked;
}

FileWriteResult ExchangeFolderPortWin32::createFile(const std::string& name,
                                                    const std::uint8_t* head, std::size_t headSize,
                                                    const std::uint8_t* body,
                                                    std::size_t bodySize) {
  closeEntry();
  if (folder_ == INVALID_HANDLE_VALUE) {
    return FileWriteResult::kNotCreated;
  }
  // A new file only, never one someone else made, with the owner-only descriptor.
  const SecurityDescriptor descriptor = ownerOnlyFileDescriptor();
  if (!descriptor) {
    return FileWriteResult::kNotCreated;
  }
  HANDLE file = INVALID_HANDLE_VALUE;
  if (!NT_SUCCESS(openRelative(folder_, Sorvanta_B::widen(name), GENERIC_WRITE | DELETE, 0,
                               FILE_CREATE, 0, descriptor.get(), file))) {
    return FileWriteResult::kNotCreated;
  }
  const bool complete = writeAll(file, head, headSize) && writeAll(file, body, bodySize);
  if (!complete) {
    markDeleted(file);  // nothing half-written is left
  }
  const bool closed = CloseHandle(file) != 0;
  return complete && closed ? FileWriteResult::kWritten : FileWriteResult::kNotWritten;
}

}  // namespace sorvanta::capture
