// The exchange folder's refusal rules, through SaveTGA and a fake folder port that
// behaves as a file system that follows links would: whatever the rules let through to
// a link reaches the user's own file behind it.
#include "saver/capture/exchange_folder_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "picture_fakes.h"
#include "saver/capture/save_tga.h"

namespace {

using sorvanta::capture::EntryKind;
using sorvanta::capture::ExchangeFolderFiles;
using sorvanta::capture::FileWriteResult;
using sorvanta::capture::SaveTGA;
using sorvanta::capture::SaveTgaStatus;
using Bytes = std::vector<std::uint8_t>;

constexpr char kFolder[] = "C:\\q_lenn";
constexpr char kDesktop[] = "C:\\q_lenn\\Sorvanta1.tga";
constexpr char kTexture[] = "C:\\q_lenn\\Sorvanta2.tga";
const Bytes kUsersDocument = {'m', 'y', ' ', 'w', 'o', 'r', 'k'};

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

capture_test::Bgr grey(int, int) {
  return {90, 90, 90};
}

// Both pictures replaced, as the run form does, through one folder object.
std::vector<SaveTgaStatus> replaceBoth(FakeFolderPort& port) {
  ExchangeFolderFiles files(port, kFolder);
  SaveTGA writer(files);
  capture_test::FakePicture desktop(4, 2, grey);
  capture_test::FakePicture texture(2, 2, grey);
  return {writer.SaveTGAinFile(kDesktop, desktop, false),
          writer.SaveTGAinFile(kTexture, texture, false)};
}

FakeFolderPort::Entry linkToUsersDocument() {
  return {EntryKind::kLink, kUsersDocument};
}

TEST(ExchangeFolderRules, PlainPicturesAreReplacedThroughTheOneOpenFolder) {
  FakeFolderPort port;
  port.entries["Sorvanta1.tga"] = {EntryKind::kPlain, {1, 2, 3}};
  const auto statuses = replaceBoth(port);
  EXPECT_EQ(statuses, (std::vector<SaveTgaStatus>{SaveTgaStatus::kSaved, SaveTgaStatus::kSaved}));
  EXPECT_EQ(port.folderOpens, 1);
  EXPECT_EQ(port.deleted, (std::vector<std::string>{"Sorvanta1.tga"}));
  EXPECT_EQ(port.created, (std::vector<std::string>{"Sorvanta1.tga", "Sorvanta2.tga"}));
}

TEST(ExchangeFolderRules, ALinkedFolderIsNotWrittenIntoHoweverItShows) {
  const struct {
    const char* name;
    EntryKind byHandle;
    std::vector<EntryKind> byPath;
  } cases[] = {
      {"a mount point (its handle shows it)", EntryKind::kLink, {EntryKind::kPlain}},
      {"a Unix link under Wine (its path shows it)", EntryKind::kPlain, {EntryKind::kLink}},
      {"replaced by a link after it was opened",
       EntryKind::kPlain,
       {EntryKind::kPlain, EntryKind::kLink}},
      {"replaced between the two pictures",
       EntryKind::kPlain,
       {EntryKind::kPlain, EntryKind::kPlain, EntryKind::kPlain, EntryKind::kLink}},
      {"missing", EntryKind::kMissing, {EntryKind::kMissing}},
  };
  for (const auto& c : cases) {
    FakeFolderPort port;
    port.folderByHandle = c.byHandle;
    port.pathLooks = c.byPath;
    port.entries["Sorvanta2.tga"] = {EntryKind::kPlain, kUsersDocument};
    const auto statuses = replaceBoth(port);
    EXPECT_EQ(statuses.back(), SaveTgaStatus::kNotCreated) << c.name;
    EXPECT_EQ(port.entries["Sorvanta2.tga"].bytes, kUsersDocument) << c.name;
    EXPECT_TRUE(port.deleted.empty() || port.deleted == std::vector<std::string>{"Sorvanta1.tga"})
        << c.name;
  }
}

TEST(ExchangeFolderRules, ALinkedPictureIsLeftAloneAndReportedNotDeleted) {
  FakeFolderPort port;
  port.entries["Sorvanta1.tga"] = linkToUsersDocument();
  const auto statuses = replaceBoth(port);
  EXPECT_EQ(statuses[0], SaveTgaStatus::kNotDeleted);
  EXPECT_EQ(statuses[1], SaveTgaStatus::kSaved) << "only the linked picture's step ends";
  EXPECT_EQ(port.entries["Sorvanta1.tga"].bytes, kUsersDocument);
  EXPECT_TRUE(port.deleted.empty());
  EXPECT_EQ(port.created, (std::vector<std::string>{"Sorvanta2.tga"}));
}

TEST(ExchangeFolderRules, AnEntryThatCannotBeExaminedIsLeftAlone) {
  FakeFolderPort port;
  port.entries["Sorvanta1.tga"] = {EntryKind::kUnreadable, kUsersDocument};
  EXPECT_EQ(replaceBoth(port)[0], SaveTgaStatus::kNotDeleted);
  EXPECT_EQ(port.entries["Sorvanta1.tga"].bytes, kUsersDocument);
  EXPECT_TRUE(port.deleted.empty());
}

TEST(ExchangeFolderRules, OnlyPicturesInTheFolderItselfAndOnlyWhatWasExaminedAreTouched) {
  FakeFolderPort port;
  port.entries["Sorvanta1.tga"] = {EntryKind::kPlain, kUsersDocument};
  ExchangeFolderFiles files(port, kFolder);
  EXPECT_FALSE(files.remove(kDesktop)) << "deleted without being examined first";
  const Bytes head = {1};
  for (const char* elsewhere : {"C:\\Users\\me\\Sorvanta1.tga", "C:\\q_lenn\\sub\\x.tga",
                                "C:\\q_lenn", "C:\\q_lennX\\Sorvanta1.tga"}) {
    EXPECT_EQ(files.examine(elsewhere), EntryKind::kNoFolder) << elsewhere;
    EXPECT_EQ(files.write(elsewhere, head.data(), 1, nullptr, 0), FileWriteResult::kNotCreated)
        << elsewhere;
  }
  EXPECT_EQ(files.examine("c:\\Q_LENN\\Sorvanta2.tga"), EntryKind::kMissing)
      << "Windows compares the folder's name without regard to case";
  EXPECT_TRUE(port.deleted.empty());
  EXPECT_TRUE(port.created.empty());
}

}  // namespace
