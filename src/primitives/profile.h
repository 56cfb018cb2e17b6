#pragma once
// Single values of a profile (INI) file, with the semantics of the Windows profile functions
// that the recent list relies on: sections and keys matched without regard to ASCII case,
// values read back as written, a key replaced in place or appended to its section, a missing
// section or file created, every other line kept byte for byte. Values are read through a
// buffer of 10240 bytes, so at most 10239 bytes come back, never half of a character.
//
// Reads trim blanks around names and values and drop one pair of enclosing double or single
// quotes; a value these rules would change is written inside double quotes, so that it reads
// back as written. A write that would break the file's lines or could not be read back is
// refused with false: a line break in any of the texts, "]" in the section, "=" in the key, a
// key beginning with "[" or ";", a name that is empty or begins with a control byte, a value
// longer than 10239 bytes. A file
// above 16 MiB, or one that is no regular file, reads as missing and is never rewritten.

#include <optional>

#include "primitives/text.h"

namespace qc {

inline constexpr int kProfileBufferSize = 10240;

Text ReadProfileText(const Text& file, const Text& section, const Text& key,
                     std::optional<Text> fallback = std::nullopt);
// Whether a value can be written so that it reads back exactly: no line break, no zero byte,
// at most 10239 bytes. WriteProfileText refuses every other value.
bool IsStorableProfileValue(const Text& value);
// The file is rewritten beside itself and renamed into place, so a crash leaves the old or the
// new content, whole.
bool WriteProfileText(const Text& file, const Text& section, const Text& key, const Text& value);

}  // namespace qc
