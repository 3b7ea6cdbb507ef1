// The pictures handed to the scene, as files only this process can name: anonymous
// memory files (memfd) that the TGA reader opens through /proc/self/fd.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sorvanta::hack {

class MemoryFile {
 public:
  explicit MemoryFile(const std::vector<std::uint8_t>& bytes);
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  ~MemoryFile();
  // A path the TGA reader can open; empty when the file could not be made, which
  // leaves the surface as the renderer leaves a picture it can't load.
  std::string path() const;

 private:
  bool writeAll(const std::vector<std::uint8_t>& bytes);
  int fd_;
};

}  // namespace sorvanta::hack
