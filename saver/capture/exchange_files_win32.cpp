#include "saver/capture/exchange_files_win32.h"

#include <windows.h>

#include "saver/capture/owner_only_file_win32.h"
#include "saver/text/wide_text_win32.h"

namespace sorvanta::capture {

namespace {

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

}  // namespace

bool ExchangeFilesWin32::exists(const std::string& path) {
  return GetFileAttributesW(Sorvanta_B::widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ExchangeFilesWin32::remove(const std::string& path) {
  return DeleteFileW(Sorvanta_B::widen(path).c_str()) != 0;
}

FileWriteResult ExchangeFilesWin32::write(const std::string& path, const std::uint8_t* head,
                                          std::size_t headSize, const std::uint8_t* body,
                                          std::size_t bodySize) {
  const std::wstring widePath = Sorvanta_B::widen(path);
  // The picture is never written with the folder's inherited permissions, and never into
  // a file someone else made: the file is new, made with the owner-only descriptor. (An
  // existing file would keep its own descriptor, whatever is passed here.)
  const SecurityDescriptor descriptor = ownerOnlyFileDescriptor();
  if (!descriptor) {
    return FileWriteResult::kNotCreated;
  }
  SECURITY_ATTRIBUTES security{sizeof security, descriptor.get(), FALSE};
  HANDLE file = CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, &security, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return FileWriteResult::kNotCreated;
  }
  bool complete = writeAll(file, head, headSize) && writeAll(file, body, bodySize);
  complete = CloseHandle(file) != 0 && complete;
  if (!complete) {
    DeleteFileW(widePath.c_str());
    return FileWriteResult::kNotWritten;
  }
  return FileWriteResult::kWritten;
}

}  // namespace sorvanta::capture
