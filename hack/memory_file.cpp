#include "memory_file.h"

#include <sys/mman.h>
#include <unistd.h>

namespace sorvanta::hack {

MemoryFile::MemoryFile(const std::vector<std::uint8_t>& bytes)
    : fd_(memfd_create("sorvanta-picture", MFD_CLOEXEC)) {
  if (fd_ >= 0 && !writeAll(bytes)) {
    close(fd_);
    fd_ = -1;
  }
}

MemoryFile::~MemoryFile() {
  if (fd_ >= 0) {
    close(fd_);
  }
}

std::string MemoryFile::path() const {
  return fd_ >= 0 ? "/proc/self/fd/" + std::to_string(fd_) : std::string();
}

bool MemoryFile::writeAll(const std::vector<std::uint8_t>& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = write(fd_, bytes.data() + written, bytes.size() - written);
    if (count <= 0) {
      return false;
    }
    written += static_cast<std::size_t>(count);
  }
  return true;
}

}  // namespace sorvanta::hack
