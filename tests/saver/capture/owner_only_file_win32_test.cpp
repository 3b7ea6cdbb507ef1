// The descriptor the exchange images are created with, read back as text the way an
// administrator would look at it (SDDL), and what the writer does with a file that is
// already there when it is to be created.
#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "saver/capture/exchange_folder_win32.h"
#include "saver/capture/owner_only_file_win32.h"
#include "saver/text/wide_text_win32.h"

namespace {

using sorvanta::capture::FileWriteResult;

// The access-right names SDDL may print, two letters each, and their masks in that order
// (generic, standard, directory-service bits, then the file and registry sets).
constexpr char kRightNames[] = "GAGRGWGXRCSDWDWORPWPCCDCLCSWLODTCRFAFRFWFXKAKRKWKX";
constexpr DWORD kRightMasks[] = {0x10000000, 0x80000000, 0x40000000, 0x20000000, 0x00020000,
                                 0x00010000, 0x00040000, 0x00080000, 0x00000010, 0x00000020,
                                 0x00000001, 0x00000002, 0x00000004, 0x00000008, 0x00000080,
                                 0x00000040, 0x00000100, 0x001F01FF, 0x00120089, 0x00120116,
                                 0x001200A0, 0x000F003F, 0x00020019, 0x00020006, 0x00020019};
static_assert(sizeof kRightNames - 1 == 2 * std::size(kRightMasks));

// "0x1f01ff" or a run of two-letter names; a name SDDL does not have fails the test.
DWORD parseRights(const std::string& text) {
  if (text.rfind("0x", 0) == 0) {
    return static_cast<DWORD>(std::stoul(text, nullptr, 16));
  }
  DWORD mask = 0;
  for (std::size_t at = 0; at + 2 <= text.size(); at += 2) {
    std::size_t index = 0;
    while (index < std::size(kRightMasks) && text.compare(at, 2, kRightNames + 2 * index, 2) != 0) {
      ++index;
    }
    EXPECT_LT(index, std::size(kRightMasks)) << "unknown right " << text.substr(at, 2);
    mask |= index < std::size(kRightMasks) ? kRightMasks[index] : 0xFFFFFFFF;
  }
  return mask;
}

struct Ace {
  std::string type, flags, sid;
  DWORD rights = 0;
};

// The DACL of an SDDL text: its flags ("P", "PAI", ...) and its entries.
struct Dacl {
  std::string flags;
  std::vector<Ace> aces;
};

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

Dacl parseDacl(const std::string& sddl) {
  Dacl dacl;
  const std::size_t start = sddl.find("D:");
  if (start == std::string::npos) {
    return dacl;
  }
  std::size_t at = start + 2;
  while (at < sddl.size() && sddl[at] != '(') {
    dacl.flags += sddl[at++];
  }
  while (at < sddl.size() && sddl[at] == '(') {
    const std::size_t end = sddl.find(')', at);
    const std::vector<std::string> fields = split(sddl.substr(at + 1, end - at - 1), ';');
    if (fields.size() == 6) {
      dacl.aces.push_back({fields[0], fields[1], fields[5], parseRights(fields[2])});
    }
    at = end + 1;
  }
  return dacl;
}

std::string processUserSid() {
  HANDLE token = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  std::vector<BYTE> user(256);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &size);
  CloseHandle(token);
  wchar_t* text = nullptr;
  ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text);
  const std::string sid = text != nullptr ? Sorvanta_B::narrow(text) : "";
  LocalFree(text);
  return sid;
}

std::string descriptorText(void* descriptor) {
  wchar_t* text = nullptr;
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(
          descriptor, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
          &text, nullptr)) {
    return {};
  }
  const std::string sddl = Sorvanta_B::narrow(text);
  LocalFree(text);
  return sddl;
}

constexpr DWORD kReadRights = FILE_READ_DATA | GENERIC_READ | GENERIC_ALL | MAXIMUM_ALLOWED;

TEST(OwnerOnlyFile, OnlyTheUserSystemAndAdministratorsMayReadOthersOnlyDelete) {
  const sorvanta::capture::SecurityDescriptor descriptor =
      sorvanta::capture::ownerOnlyFileDescriptor();
  ASSERT_TRUE(descriptor);
  const std::string sddl = descriptorText(descriptor.get());
  const std::string user = processUserSid();
  ASSERT_FALSE(user.empty());
  const Dacl dacl = parseDacl(sddl);
  EXPECT_NE(dacl.flags.find('P'), std::string::npos) << "not protected: " << sddl;
  ASSERT_FALSE(dacl.aces.empty()) << sddl;
  std::map<std::string, DWORD> allowed;
  for (const Ace& ace : dacl.aces) {
    EXPECT_TRUE(ace.type == "A" || ace.type == "D") << sddl;
    if (ace.type == "A") {
      allowed[ace.sid] |= ace.rights;
    }
  }
  for (const auto& [sid, rights] : allowed) {
    if (sid != user && sid != "SY" && sid != "BA") {
      EXPECT_EQ(rights & ~DWORD{DELETE}, 0u) << sid << " may do more than delete: " << sddl;
    }
  }
  for (const char* full : {user.c_str(), "SY", "BA"}) {
    EXPECT_EQ(allowed[full] & FILE_ALL_ACCESS, DWORD{FILE_ALL_ACCESS}) << full << ": " << sddl;
  }
  EXPECT_EQ(allowed["WD"], DWORD{DELETE}) << "others cannot delete the file: " << sddl;
  for (const auto& [sid, rights] : allowed) {
    EXPECT_TRUE((rights & kReadRights) == 0 || sid == user || sid == "SY" || sid == "BA")
        << sid << " may read: " << sddl;
  }
}

TEST(OwnerOnlyFile, AFileThatIsAlreadyThereIsNotWrittenInto) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  std::string folderPath = Sorvanta_B::narrow(folder);
  folderPath.pop_back();  // the temporary folder's trailing backslash
  const std::string path =
      folderPath + "\\owner_only_test_" + std::to_string(GetCurrentProcessId()) + ".tga";
  const std::uint8_t existing[] = {7, 7, 7};
  sorvanta::capture::ExchangeFolderPortWin32 port;
  sorvanta::capture::ExchangeFolderFiles files(port, folderPath);
  ASSERT_EQ(files.write(path, existing, sizeof existing, nullptr, 0), FileWriteResult::kWritten);
  const std::uint8_t picture[] = {1, 2, 3, 4};
  EXPECT_EQ(files.write(path, picture, sizeof picture, nullptr, 0), FileWriteResult::kNotCreated);
  HANDLE file = CreateFileW(Sorvanta_B::widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  std::uint8_t read[8] = {};
  DWORD count = 0;
  ReadFile(file, read, sizeof read, &count, nullptr);
  CloseHandle(file);
  EXPECT_EQ(std::vector<std::uint8_t>(read, read + count),
            std::vector<std::uint8_t>(existing, existing + 3));
  ASSERT_EQ(files.examine(path), sorvanta::capture::EntryKind::kPlain);
  EXPECT_TRUE(files.remove(path));
  EXPECT_EQ(files.examine(path), sorvanta::capture::EntryKind::kMissing);
}

}  // namespace
