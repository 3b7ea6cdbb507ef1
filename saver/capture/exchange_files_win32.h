// The exchange files through the wide-character Windows file functions (paths are
// UTF-8 in the program, UTF-16 at the call). A file is written only as a new file that
// its creator alone may read (owner_only_file_win32.h); a file of that name that is
// still there when it is to be created is left alone and reported as not created.
#pragma once

#include "saver/capture/exchange_files.h"

namespace sorvanta::capture {

class ExchangeFilesWin32 final : public ExchangeFiles {
 public:
  bool exists(const std::string& path) override;
  bool remove(const std::string& path) override;
  FileWriteResult write(const std::string& path, const std::uint8_t* head, std::size_t headSize,
                        const std::uint8_t* body, std::size_t bodySize) override;
};

}  // namespace sorvanta::capture
