// The port through which SaveTGA replaces an exchange image: the few file operations
// it needs, so that the Windows build can hold the exchange folder open and the native
// build and tests can use the C library's files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "exchange/entry_kind.h"

namespace sorvanta::capture {

using exchange::EntryKind;

enum class FileWriteResult {
  kWritten,
  kNotCreated,  // not created (missing folder, no access, a file of that name still there)
  kNotWritten,  // created but not completely written; the partial file is removed
};

class ExchangeFilesPort {
 public:
  virtual ~ExchangeFilesPort() = default;

  // What lies at that path, not following a link.
  virtual EntryKind examine(const std::string& path) = 0;
  // Deletes the plain file that examine found there; false leaves it as it was.
  virtual bool remove(const std::string& path) = 0;
  // Creates the file and writes head then body into it, then closes it.
  virtual FileWriteResult write(const std::string& path, const std::uint8_t* head,
                                std::size_t headSize, const std::uint8_t* body,
                                std::size_t bodySize) = 0;
};

}  // namespace sorvanta::capture
