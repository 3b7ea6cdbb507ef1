// What the front end and the renderer find at an exchange path, looked at without
// following a link, and the rule both apply to the exchange folder: it is used only
// when every look shows a plain folder. The folder is shared by every account on the
// PC, so any of them could have put a link in its place.
#pragma once

namespace exchange {

enum class EntryKind {
  kMissing,     // nothing of that name
  kPlain,       // a plain file (or, for a folder, a plain folder)
  kLink,        // a reparse point: a symbolic link, a mount point or the like
  kUnreadable,  // something that could not be examined
  kNoFolder,    // the folder the picture would lie in is missing or refused
};

// Both looks at the folder, its open handle's and its path's, must show it plain.
inline bool folderIsUsable(EntryKind byHandle, EntryKind byPath) {
  return byHandle == EntryKind::kPlain && byPath == EntryKind::kPlain;
}

}  // namespace exchange
