// The exchange folder (C:\q_lenn) is one folder for every account on the PC, so any of
// them can empty it and put a link in its place, or replace a picture by a link to one
// of the user's own files. The pictures are therefore replaced only through a folder
// that was opened once, is no link, and stays open (nobody may delete, rename or
// write to it meanwhile) while its pictures are deleted and made relative to it, so
// that no path is resolved twice. A link found anywhere ends only that step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "saver/capture/exchange_files_port.h"

namespace sorvanta::capture {

// The folder's file system, relative to the one open folder.
class ExchangeFolderPort {
 public:
  virtual ~ExchangeFolderPort() = default;

  // Opens the folder at `path` without following a link and keeps it open; what its
  // handle shows it to be (kMissing when it could not be opened).
  virtual EntryKind openFolder(const std::string& path) = 0;
  // What the folder's path shows now (the second look: under Wine only the path tells
  // a linked folder).
  virtual EntryKind folderByPath(const std::string& path) = 0;
  // Opens the entry `name` in the open folder, not following a link, and keeps it
  // open; what it is.
  virtual EntryKind openEntry(const std::string& name) = 0;
  // Deletes the entry openEntry last opened, through its handle.
  virtual bool deleteOpenEntry() = 0;
  // Makes the new file `name` in the open folder (never an existing one) and writes
  // head then body into it.
  virtual FileWriteResult createFile(const std::string& name, const std::uint8_t* head,
                                     std::size_t headSize, const std::uint8_t* body,
                                     std::size_t bodySize) = 0;
};

// The exchange files of SaveTGA, inside one exchange folder opened once through the
// port. Paths outside the folder, and every path while the folder is refused, are
// answered kNoFolder and are not written.
class ExchangeFolderFiles final : public ExchangeFilesPort {
 public:
  ExchangeFolderFiles(ExchangeFolderPort& port, std::string folder);

  EntryKind examine(const std::string& path) override;
  bool remove(const std::string& path) override;
  FileWriteResult write(const std::string& path, const std::uint8_t* head, std::size_t headSize,
                        const std::uint8_t* body, std::size_t bodySize) override;

 private:
  // The name inside the folder, or empty when the path lies elsewhere or the folder
  // is (now) refused.
  std::string nameInFolder(const std::string& path);

  ExchangeFolderPort& port_;
  std::string folder_;
  bool usable_ = false;
  std::string examined_;  // the path whose entry the port holds open, a plain file
};

}  // namespace sorvanta::capture
