#include "saver/capture/owner_only_file_win32.h"

#include <windows.h>

#include <sddl.h>

#include <string>
#include <vector>

namespace sorvanta::capture {

namespace {

// The SID of the user this process runs as, in its string form; empty when unknown.
std::wstring processUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return {};
  }
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> user(size);
  std::wstring text;
  wchar_t* sid = nullptr;
  if (size > 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size) &&
      ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) {
    text = sid;
    LocalFree(sid);
  }
  CloseHandle(token);
  return text;
}

}  // namespace

void LocalMemoryFree::operator()(void* memory) const {
  LocalFree(memory);
}

SecurityDescriptor ownerOnlyFileDescriptor() {
  const std::wstring user = processUserSid();
  if (user.empty()) {
    return {};
  }
  // D:P protected DACL; FA full access; SY SYSTEM, BA Administrators; WD Everyone,
  // SD the DELETE right alone.
  const std::wstring sddl = L"D:P(A;;FA;;;" + user + L")(A;;FA;;;SY)(A;;FA;;;BA)(A;;SD;;;WD)";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    return {};
  }
  return SecurityDescriptor(descriptor);
}

}  // namespace sorvanta::capture
