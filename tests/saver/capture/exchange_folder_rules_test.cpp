// The exchange folder's refusal rules, through SaveTGA and a fake folder port that
// behaves as a file system that follows links would: whatever the rules let through to
// a link reaches the user's own file behind it.
#include "saver/capture/exchange_folder_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "folder_fakes.h"
#include "picture_fakes.h"
#include "saver/capture/exchange_images.h"
#include "saver/capture/save_tga.h"

namespace {

using sorvanta::capture::EntryKind;
using sorvanta::capture::ExchangeFolderFiles;
using sorvanta::capture::FileWriteResult;
using sorvanta::capture::SaveTGA;
using sorvanta::capture::SaveTgaStatus;
using Bytes = std::vector<std::uint8_t>;
using capture_test::FakeFolderPort;
using capture_test::kUsersDocument;
using capture_test::linkToUsersDocument;

constexpr char kFolder[] = "C:\\q_lenn";
constexpr char kDesktop[] = "C:\\q_lenn\\Sorvanta1.tga";

capture_test::Bgr grey(int, int) {
  return {90, 90, 90};
}

// Both pictures replaced as the run does.
std::vector<SaveTgaStatus> replaceBoth(FakeFolderPort& port) {
  capture_test::FakePicture desktop(4, 2, grey);
  capture_test::FakePicture stone(2, 2, grey);
  const auto written = sorvanta::capture::writeExchangeImages(port, desktop, stone);
  return {written.desktop, written.stone};
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
