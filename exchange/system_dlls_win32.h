// Where both programs take their DLLs from: System32 alone. A DLL planted beside a
// program (an unpacked zip in Downloads shares its folder with whatever else was
// downloaded) must never run in the user's name. Each program imports at load time
// only DLLs that Windows always maps from System32 (the KnownDLLs); every other DLL
// is delay-loaded, and the delay-load helper is given it from System32 here.
#pragma once

#include <windows.h>

#include <delayimp.h>

namespace exchange {

// First thing in each program's entry: every later search for a DLL by name looks in
// System32 alone. On a Windows 7 without the loader update the call does not exist;
// loadSystemDll still takes each DLL by its full System32 path there.
void restrictDllSearchToSystem32();

// The DLL `name` (a bare file name) from System32 alone, or null when it can't be
// loaded from there. The module stays loaded for the rest of the process.
HMODULE loadSystemDll(const wchar_t* name);

// The delay-load descriptor that dlltool puts in the import library lib<dll>_delay.a
// (exchange/CMakeLists.txt), to be declared where it is bound:
//   extern "C" const ImgDelayDescr SORVANTA_DELAY_DESCRIPTOR(glu32);
#define SORVANTA_DELAY_DESCRIPTOR(dll) __DELAY_IMPORT_DESCRIPTOR_lib##dll##_delay_a

// Loads the delay-loaded DLL `name` from System32 and binds every function the program
// imports from it (through `descriptor`) at once; false when it can't be loaded. Bound
// up front, no call goes through dlltool's delay-load thunk, which keeps only the
// integer argument registers across the helper: the first call of a function taking
// float or double arguments (gluPerspective, glTranslatef) would get garbage in them.
bool bindSystemDll(const wchar_t* name, const ImgDelayDescr& descriptor);

// A delay-loaded DLL that one step needs, loaded from System32 on the first question
// and kept; its functions are then bound on their first calls (none of those that ask
// takes float arguments). A step asks before its first call into the DLL, and fails
// like a missing service when the answer is no.
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
