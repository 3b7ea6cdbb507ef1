// Where both programs take their DLLs from: System32 alone. A DLL planted beside a
// program (an unpacked zip in Downloads shares its folder with whatever else was
// downloaded) must never run in the user's name. Each program imports at load time
// only DLLs that Windows always maps from System32 (the KnownDLLs); every other DLL
// is delay-loaded, and the delay-load helper is given it from System32 here.
#pragma once

#include <windows.h>

namespace exchange {

// First thing in each program's entry: every later search for a DLL by name looks in
// System32 alone. On a Windows 7 without the loader update the call does not exist;
// loadSystemDll still takes each DLL by its full System32 path there.
void restrictDllSearchToSystem32();

// The DLL `name` (a bare file name) from System32 alone, or null when it can't be
// loaded from there. The module stays loaded for the rest of the process.
HMODULE loadSystemDll(const wchar_t* name);

// A DLL that one step needs, loaded from System32 on the first question and kept. A
// step asks before its first call into the DLL, and fails like a missing service
// when the answer is no.
class SystemDll {
 public:
  explicit SystemDll(const wchar_t* name) : name_(name) {}
  bool available();

 private:
  const wchar_t* name_;
  bool asked_ = false;
  bool loaded_ = false;
};

}  // namespace exchange
