// The exchange files through the C library (paths in the local narrow encoding): the
// native build's, for the tests, tools and benchmarks.
#pragma once

#include "saver/capture/exchange_files_port.h"

namespace sorvanta::capture {

class ExchangeFilesPortStdio final : public ExchangeFilesPort {
 public:
  EntryKind examine(const std::string& path) override;
  bool remove(const std::string& path) override;
  FileWriteResult write(const std::string& path, const std::uint8_t* head, std::size_t headSize,
                        const std::uint8_t* body, std::size_t bodySize) override;
};

}  // namespace sorvanta::capture
