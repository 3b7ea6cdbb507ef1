// The security descriptor the exchange images are created with. The pictures lie in a
// machine-wide folder and one of them shows the user's whole desktop, so only the user
// who runs the saver may read them.
#pragma once

#include <memory>

namespace sorvanta::capture {

struct LocalMemoryFree {
  void operator()(void* memory) const;
};
// A self-relative SECURITY_DESCRIPTOR in memory from LocalAlloc.
using SecurityDescriptor = std::unique_ptr<void, LocalMemoryFree>;

// A protected DACL (nothing inherited from the folder): full access for the process's
// user, SYSTEM and Administrators; every other account only DELETE, so that another
// user's saver can still delete the file and write its own. Empty when the process's
// user cannot be read.
SecurityDescriptor ownerOnlyFileDescriptor();

}  // namespace sorvanta::capture
