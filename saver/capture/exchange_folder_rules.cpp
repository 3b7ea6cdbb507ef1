#include "saver/capture/exchange_folder_rules.h"

#include <utility>

#include "saver/text/ascii_text.h"

namespace sorvanta::capture {

ExchangeFolderFiles::ExchangeFolderFiles(ExchangeFolderPort& port, std::string folder)
    : port_(port), folder_(std::move(folder)) {
  const EntryKind byHandle = port_.openFolder(folder_);
  usable_ = exchange::folderIsUsable(byHandle, port_.folderByPath(folder_));
}

std::string ExchangeFolderFiles::nameInFolder(const std::string& path) {
  const std::string prefix = folder_ + "\\";
  // Windows compares drive letters and file names without regard to case.
  if (!usable_ || path.size() <= prefix.size() ||
      Sorvanta_B::upperAscii(path.substr(0, prefix.size())) != Sorvanta_B::upperAscii(prefix)) {
    return {};
  }
  std::string name = path.substr(prefix.size());
  if (name.find_first_of("\\/:") != std::string::npos) {
    return {};  // only pictures lying in the folder itself
  }
  // Looked at again before each picture: a folder replaced since it was opened is
  // refused from then on.
  if (port_.folderByPath(folder_) != EntryKind::kPlain) {
    usable_ = false;
    return {};
  }
  return name;
}

EntryKind ExchangeFolderFiles::examine(const std::string& path) {
  examined_.clear();
  const std::string name = nameInFolder(path);
  if (name.empty()) {
    return EntryKind::kNoFolder;
  }
  const EntryKind kind = port_.openEntry(name);
  if (kind == EntryKind::kPlain) {
    examined_ = path;
  }
  return kind;
}

bool ExchangeFolderFiles::remove(const std::string& path) {
  if (path != examined_ || examined_.empty()) {
    return false;  // only the plain file just examined, through the handle it was seen by
  }
  examined_.clear();
  return port_.deleteOpenEntry();
}

FileWriteResult ExchangeFolderFiles::write(const std::string& path, const std::uint8_t* head,
                                           std::size_t headSize, const std::uint8_t* body,
                                           std::size_t bodySize) {
  examined_.clear();
  const std::string name = nameInFolder(path);
  if (name.empty()) {
    return FileWriteResult::kNotCreated;
  }
  return port_.createFile(name, head, headSize, body, bodySize);
}

}  // namespace sorvanta::capture
