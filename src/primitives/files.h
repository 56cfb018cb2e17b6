#pragma once
// The program's directory and the few file operations the program makes: existence, one-level
// folder creation and whole-file writes. Paths are GBK texts with "\" separators; they are
// turned into native paths by native_path.h. Failures are results, never exceptions.

#include <initializer_list>

#include "primitives/text.h"

namespace qc {

// The directory that holds the program file, without a trailing separator, in the "\" form.
// Fixed on the first call, which also makes it the current directory of the process.
Text ProgramDirectory();
// Tests can run the program's code in a directory of their own.
void OverrideProgramDirectory(const Text& directory);

// True when a file or folder of that name exists; "*" (any run) and "?" (one character) in the
// last component match as wildcards against the folder's entries, "." and ".." included.
// Names compare by their bytes, so letter case counts as it does on Linux. False for the empty
// path and for a path holding a zero byte, everywhere in this file.
bool FileExists(const Text& path);
// Creates the last folder of the path only; false when it exists or cannot be made.
bool CreateFolder(const Text& path);
// Writes the whole file: the bytes are written beside it and renamed over it, so the file is
// always either the old or the new one, whole, and keeps its permission bits. False when
// anything failed, when the path names a folder or a file the user may not write, or leads
// into a missing folder; nothing is left behind then. A link in the file's place is replaced,
// not followed.
bool WriteFileBytes(const Text& path, std::initializer_list<Bytes> parts);
// Removes the temporary files that writers killed mid-write left in the folder (the hidden
// ".NAME.tmp-PID-N" files of processes that no longer run). Nothing else is touched.
void RemoveAbandonedWrites(const Text& folder);

inline bool WriteFileBytes(const Text& path, const Bytes& bytes) {
  return WriteFileBytes(path, {bytes});
}

}  // namespace qc
