#include "saver/capture/exchange_files.h"

#include <sys/stat.h>

#include <cstdio>

namespace sorvanta::capture {

bool StdioExchangeFiles::exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

bool StdioExchangeFiles::remove(const std::string& path) {
  return std::remove(path.c_str()) == 0;
}

FileWriteResult StdioExchangeFiles::write(const std::string& path, const std::uint8_t* head,
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
