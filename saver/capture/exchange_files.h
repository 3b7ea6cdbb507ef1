// The file operations SaveTGA uses to replace an exchange image, behind a narrow
// interface so the Windows build can use the wide-character file functions.
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

class ExchangeFiles {
 public:
  virtual ~ExchangeFiles() = default;

  // What lies at that path, not following a link.
  virtual EntryKind examine(const std::string& path) = 0;
  // Deletes the plain file that examine found there; false leaves it as it was.
  virtual bool remove(const std::string& path) = 0;
  // Creates the file and writes head then body into it, then closes it.
  virtual FileWriteResult write(const std::string& path, const std::uint8_t* head,
                                std::size_t headSize, const std::uint8_t* body,
                                std::size_t bodySize) = 0;
};

// The C library's files (paths in the local narrow encoding): the native build's.
class StdioExchangeFiles final : public ExchangeFiles {
 public:
  EntryKind examine(const std::string& path) override;
  bool remove(const std::string& path) override;
  FileWriteResult write(const std::string& path, const std::uint8_t* head, std::size_t headSize,
                        const std::uint8_t* body, std::size_t bodySize) override;
};

}  // namespace sorvanta::capture
