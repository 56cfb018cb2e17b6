#include "primitives/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "primitives/files.h"
#include "primitives/native_path.h"

namespace qc {
namespace {

// A profile is a handful of lines; a bigger file is not ours to rewrite. Reads treat it as
// missing and writes refuse it, so a stray huge file is never loaded whole nor cut down.
constexpr size_t kMaxProfileFileSize = 16 * 1024 * 1024;
constexpr size_t kMaxValueLength = kProfileBufferSize - 1;

enum class FileState { kLoaded, kMissing, kUnusable };

FileState LoadFile(const Text& file, std::string& content) {
  content.clear();
  if (file.empty() || file.find('\0') != Text::npos)
    return FileState::kUnusable;
  // O_NONBLOCK: a FIFO in the file's place must not hang the program on open.
  int fd = ::open(NativePath(file).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return errno == ENOENT || errno == ENOTDIR ? FileState::kMissing : FileState::kUnusable;
  FileState state = FileState::kLoaded;
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<unsigned long long>(info.st_size) > kMaxProfileFileSize) {
    state = FileState::kUnusable;
  } else {
    // Read until the end, or one byte past the limit: a file that grows while it is read is
    // caught too.
    content.reserve(static_cast<size_t>(info.st_size) + 1);
    char chunk[65536];
    while (content.size() <= kMaxProfileFileSize) {
      ssize_t got = ::read(fd, chunk, sizeof chunk);
      if (got < 0 && errno == EINTR)
        continue;
      if (got < 0) {
        state = FileState::kUnusable;
        break;
      }
      if (got == 0)
        break;
      content.append(chunk, static_cast<size_t>(got));
    }
    if (content.size() > kMaxProfileFileSize)
      state = FileState::kUnusable;
  }
  ::close(fd);
  if (state != FileState::kLoaded)
    content.clear();
  return state;
}

// The platform's profile functions take C strings: a zero byte ends the text.
std::string_view CString(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

std::string_view StripLeadingControls(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) >= 1 &&
         static_cast<unsigned char>(text.front()) <= 32)
    text.remove_prefix(1);
  return text;
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names match without regard to ASCII case, but a two-byte character is compared whole: the
// trail bytes 0x41 and 0x61 of "丄" and "乤" are letters only by accident.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  size_t i = 0;
  while (i < a.size()) {
    if (static_cast<unsigned char>(a[i]) >= 0x80) {
      size_t width = i + 1 < a.size() ? 2 : 1;
      if (a.substr(i, width) != b.substr(i, width))
        return false;
      i += width;
    } else {
      if (AsciiLower(a[i]) != AsciiLower(b[i]))
        return false;
      ++i;
    }
  }
  return true;
}

// At most kMaxValueLength bytes, and never half of a two-byte character.
Text CapValue(std::string_view value) {
  if (value.size() <= kMaxValueLength)
    return Text(value);
  size_t end = 0;
  while (true) {
    size_t width = static_cast<unsigned char>(value[end]) >= 0x80 ? 2 : 1;
    if (end + width > kMaxValueLength)
      break;
    end += width;
  }
  return Text(value.substr(0, end));
}

struct Line {
  size_t begin = 0;
  size_t end = 0;   // end of the content, before CR LF or LF
  size_t next = 0;  // start of the following line
  bool hasBreak = false;
};

Line LineAt(std::string_view content, size_t begin) {
  Line line;
  line.begin = begin;
  size_t lf = content.find('\n', begin);
  if (lf == std::string_view::npos) {
    line.end = line.next = content.size();
    return line;
  }
  line.hasBreak = true;
  line.next = lf + 1;
  line.end = lf > begin && content[lf - 1] == '\r' ? lf - 1 : lf;
  return line;
}

enum class LineKind { kBlank, kComment, kSection, kKey, kOther };

struct ParsedLine {
  LineKind kind = LineKind::kOther;
  std::string_view name;  // section or key, trimmed
  size_t valueBegin = 0;  // offset in the content just after "="
};

ParsedLine Parse(std::string_view content, const Line& line) {
  ParsedLine parsed;
  std::string_view text = content.substr(line.begin, line.end - line.begin);
  size_t start = 0;
  while (start < text.size() && IsBlank(text[start]))
    ++start;
  if (start == text.size()) {
    parsed.kind = LineKind::kBlank;
  } else if (text[start] == ';') {
    parsed.kind = LineKind::kComment;
  } else if (text[start] == '[') {
    parsed.kind = LineKind::kSection;
    std::string_view inside = text.substr(start + 1);
    parsed.name = TrimBlanks(inside.substr(0, inside.find(']')));
  } else if (size_t equals = text.find('='); equals != std::string_view::npos) {
    parsed.kind = LineKind::kKey;
    parsed.name = TrimBlanks(text.substr(start, equals - start));
    parsed.valueBegin = line.begin + equals + 1;
  }
  return parsed;
}

// Where a key stands in a profile, or where it would go. Only the first section of the name
// counts, and in it the first line of the key, for reads and writes alike, so a value written
// is the one read back.
struct KeyPlace {
  bool sectionFound = false;
  bool keyFound = false;
  Line keyLine;
  size_t valueBegin = 0;
  Line lastLine;  // the section's last line that is neither blank nor a comment
};

KeyPlace FindKey(std::string_view content, std::string_view section, std::string_view key) {
  KeyPlace place;
  for (size_t at = 0; at < content.size();) {
    Line line = LineAt(content, at);
    at = line.next;
    ParsedLine parsed = Parse(content, line);
    if (parsed.kind == LineKind::kSection) {
      if (place.sectionFound)
        break;
      if (SameName(parsed.name, section)) {
        place.sectionFound = true;
        place.lastLine = line;
      }
    } else if (place.sectionFound) {
      if (parsed.kind == LineKind::kKey && SameName(parsed.name, key)) {
        place.keyFound = true;
        place.keyLine = line;
        place.valueBegin = parsed.valueBegin;
        break;
      }
      // Blank lines and comments at a section's end usually introduce the next section; a new
      // key goes above them.
      if (parsed.kind != LineKind::kBlank && parsed.kind != LineKind::kComment)
        place.lastLine = line;
    }
  }
  return place;
}

bool IsQuote(char c) {
  return c == '"' || c == '\'';
}

// Reads trim blanks around a value and drop one pair of enclosing quotes, as the platform
// does. A value those rules would change is written inside one more pair of double quotes, so
// that it reads back as it was written.
Text QuotedForReading(std::string_view value) {
  bool changedByReading =
      !value.empty() &&
      (IsBlank(value.front()) || IsBlank(value.back()) ||
       (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()));
  if (!changedByReading)
    return Text(value);
  Text quoted;
  quoted.reserve(value.size() + 2);
  quoted += '"';
  quoted += value;
  quoted += '"';
  return quoted;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// A name that could not be found again after writing is refused rather than written: reads
// strip control bytes from the front, and a line break, a "]" in a section or a "=" in a key,
// or a key that begins like a section header or a comment would turn into other lines.
bool IsWritableName(std::string_view name) {
  return !name.empty() && static_cast<unsigned char>(name.front()) > 32 && !HasLineBreak(name);
}

}  // namespace

Text ReadProfileText(const Text& file, const Text& section, const Text& key,
                     std::optional<Text> fallback) {
  std::string_view filePath = StripLeadingControls(file);
  std::string_view sectionName = StripLeadingControls(CString(section));
  std::string_view keyName = StripLeadingControls(CString(key));
  if (filePath.empty() || sectionName.empty() || keyName.empty())
    return Text();
  sectionName = TrimBlanks(sectionName);
  keyName = TrimBlanks(keyName);

  std::string content;
  if (LoadFile(Text(filePath), content) == FileState::kLoaded) {
    KeyPlace place = FindKey(content, sectionName, keyName);
    if (place.keyFound) {
      std::string_view value =
          std::string_view(content).substr(place.valueBegin, place.keyLine.end - place.valueBegin);
      value = TrimBlanks(value);
      if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
      return CapValue(CString(value));
    }
  }
  if (!fallback)
    return Text();
  // The platform cuts trailing blanks off the default.
  std::string_view text = CString(*fallback);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return CapValue(text);
}

bool IsStorableProfileValue(const Text& value) {
  std::string_view valueText = CString(value);
  // A line break in a value would end its line and make the rest a line of its own; reads stop
  // at the buffer's size, so a longer value would come back cut short; a zero byte would end it.
  return valueText.size() == value.size() && !HasLineBreak(valueText) &&
         valueText.size() <= kMaxValueLength;
}

bool WriteProfileText(const Text& file, const Text& section, const Text& key, const Text& value) {
  std::string_view sectionName = TrimBlanks(CString(section));
  std::string_view keyName = TrimBlanks(CString(key));
  std::string_view valueText = CString(value);
  if (!IsWritableName(sectionName) || sectionName.find(']') != std::string_view::npos)
    return false;
  if (!IsWritableName(keyName) || keyName.find('=') != std::string_view::npos ||
      keyName.front() == '[' || keyName.front() == ';')
    return false;
  if (!IsStorableProfileValue(value))
    return false;

  std::string content;
  // A file that exists but cannot be read whole is left alone: rewriting it from what could be
  // read would lose the rest.
  if (LoadFile(file, content) == FileState::kUnusable)
    return false;

  Text entry = Text(keyName) + "=" + QuotedForReading(valueText);
  KeyPlace place = FindKey(content, sectionName, keyName);
  Text updated;
  updated.reserve(content.size() + entry.size() + sectionName.size() + 8);
  std::string_view all = content;
  if (place.keyFound) {
    // The line keeps its key as spelled, everything up to "=", and its line end.
    updated += all.substr(0, place.valueBegin);
    updated += QuotedForReading(valueText);
    updated += all.substr(place.keyLine.end);
  } else if (place.sectionFound) {
    size_t at = place.lastLine.next;
    updated += all.substr(0, at);
    // The last line of a file often has no line break, as in the default content: without
    // one the new key would be glued onto it.
    if (!place.lastLine.hasBreak)
      updated += "\r\n";
    updated += entry;
    updated += "\r\n";
    updated += all.substr(at);
  } else {
    updated += all;
    if (!all.empty() && all.back() != '\n')
      updated += "\r\n";
    updated += "[";
    updated += sectionName;
    updated += "]\r\n";
    updated += entry;
    updated += "\r\n";
  }
  return WriteFileBytes(file, Bytes(updated.begin(), updated.end()));
}

}  // namespace qc
