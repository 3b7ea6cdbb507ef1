#include "saver/capture/exchange_files_port_stdio.h"

#include <sys/stat.h>

#include <cstdio>

namespace sorvanta::capture {

EntryKind ExchangeFilesPortStdio::examine(const std::string& path) {
  struct stat info {};
#ifdef _WIN32
  // The C library there knows no links; the Windows build writes through its own port.
  return ::stat(path.c_str(), &info) == 0 ? EntryKind::kPlain : EntryKind::kMissing;
#else
  if (::lstat(path.c_str(), &info) != 0) {
    return EntryKind::kMissing;
  }
  return S_ISLNK(info.st_mode) ? EntryKind::kLink : EntryKind::kPlain;
#endif
}

bool ExchangeFilesPortStdio::remove(const std::string& path) {
  return std::remove(path.c_str()) == 0;
}

FileWriteResult ExchangeFilesPortStdio::write(const std::string& path, const std::uint8_t* head,
                                              std::size_t headSize, const std::uint8_t* body,
                                              std::size_t bodySize) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    return FileWriteResult::kNotCreated;
  }
  bool complete = std::fwrite(head, 1, headSize, file) == headSize;
  if (complete && bodySize > 0) {
    complete = std::fwrite(body, 1, bodySize, file) == bodySize;
  }
  complete = (std::fclose(file) == 0) && complete;
  if (!complete) {
    std::remove(path.c_str());
    return FileWriteResult::kNotWritten;
  }
  return FileWriteResult::kWritten;
}

}  // namespace sorvanta::capture
