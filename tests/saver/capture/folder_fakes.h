// A fake exchange folder that behaves as a file system that follows links would:
// whatever reaches a link through it reaches the user's own file behind it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "saver/capture/exchange_folder_rules.h"

namespace capture_test {

using sorvanta::capture::EntryKind;
using sorvanta::capture::FileWriteResult;
using Bytes = std::vector<std::uint8_t>;

inline const Bytes kUsersDocument = {'m', 'y', ' ', 'w', 'o', 'r', 'k'};

class FakeFolderPort final : public sorvanta::capture::ExchangeFolderPort {
 public:
  struct Entry {
    EntryKind kind = EntryKind::kPlain;
    Bytes bytes;  // for a link: the user's file it leads to
  };

  EntryKind openFolder(const std::string&) override {
    ++folderOpens;
    return folderByHandle;
  }
  // Each look by path takes the next answer; the last one stays.
  EntryKind folderByPath(const std::string&) override {
    const EntryKind kind = pathLooks.front();
    if (pathLooks.size() > 1) {
      pathLooks.erase(pathLooks.begin());
    }
    return kind;
  }
  EntryKind openEntry(const std::string& name) override {
    open = name;
    const auto found = entries.find(name);
    return found == entries.end() ? EntryKind::kMissing : found->second.kind;
  }
  // Deletes what the handle holds: for a link, a system that followed it would have
  // deleted the user's file.
  bool deleteOpenEntry() override {
    deleted.push_back(open);
    entries[open].bytes.clear();
    if (entries[open].kind == EntryKind::kPlain) {
      entries.erase(open);
    }
    return true;
  }
  FileWriteResult createFile(const std::string& name, const std::uint8_t* head,
                             std::size_t headSize, const std::uint8_t*, std::size_t) override {
    created.push_back(name);
    Entry& entry = entries[name];  // through a link, into the user's file
    entry.bytes.assign(head, head + headSize);
    return FileWriteResult::kWritten;
  }

  EntryKind folderByHandle = EntryKind::kPlain;
  std::vector<EntryKind> pathLooks{EntryKind::kPlain};
  std::map<std::string, Entry> entries;
  std::string open;
  std::vector<std::string> deleted;
  std::vector<std::string> created;
  int folderOpens = 0;
};

inline FakeFolderPort::Entry linkToUsersDocument() {
  return {EntryKind::kLink, kUsersDocument};
}

}  // namespace capture_test
