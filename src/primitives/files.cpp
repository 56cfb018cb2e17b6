#include "primitives/files.h"

#include <signal.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "primitives/native_path.h"

namespace qc {
namespace {

namespace fs = std::filesystem;

std::optional<Text>& FixedProgramDirectory() {
  static std::optional<Text> directory;
  return directory;
}

void MakeCurrentDirectory(const Text& directory) {
  // The empty directory stands for the root, as "" + "\Configuration.ini" names a file there.
  fs::path native = directory.empty() ? fs::path("/") : NativePath(directory);
  std::error_code ignored;
  fs::current_path(native, ignored);
}

Text DirectoryOfProgramFile() {
  std::error_code error;
  // read_symlink grows its buffer until the whole target fits; no length limit applies.
  fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (error || !program.is_absolute()) {
    // Without /proc the program's own folder is unknown; the folder it was started in is the
    // nearest stand-in and keeps every path absolute.
    program = fs::current_path(error) / "program";
    if (error)
      return Text();
  }
  Text directory = TextPath(program.parent_path());
  // The root folder comes back as "\"; without its separator it is the empty text, which
  // still builds well-formed paths.
  if (directory == "\\")
    directory.clear();
  return directory;
}

// A zero byte would end the path early in every system call and name some other file.
bool IsUsablePath(const Text& path) {
  return !path.empty() && path.find('\0') == Text::npos;
}

bool HasWildcard(std::string_view name) {
  return name.find_first_of("*?") != std::string_view::npos;
}

// Splits a native name into characters: a well-formed UTF-8 sequence is one character, any
// other byte is one on its own, so "?" matches one Chinese character as the platform's
// search does, and names that are not UTF-8 still match byte by byte.
std::vector<std::string_view> Characters(std::string_view name) {
  std::vector<std::string_view> characters;
  size_t i = 0;
  while (i < name.size()) {
    unsigned char lead = static_cast<unsigned char>(name[i]);
    size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
      length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
      length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
      length = 4;
    if (i + length > name.size())
      length = 1;
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(name[i + k]) & 0xC0) != 0x80) {
        length = 1;
        break;
      }
    }
    characters.push_back(name.substr(i, length));
    i += length;
  }
  return characters;
}

// "*" matches any run of characters, "?" exactly one; every other character, "[" and "\"
// included, is itself. fnmatch would read "[...]" as a set, and its recursion on each "*" takes
// time exponential in the stars of a hostile name; this single-backtrack walk is bounded by
// the product of the two lengths.
bool MatchesWildcard(std::string_view pattern, std::string_view name) {
  std::vector<std::string_view> p = Characters(pattern);
  std::vector<std::string_view> n = Characters(name);
  size_t pi = 0, ni = 0;
  std::optional<size_t> star;
  size_t starName = 0;
  while (ni < n.size()) {
    if (pi < p.size() && p[pi] == "*") {
      star = pi++;
      starName = ni;
    } else if (pi < p.size() && (p[pi] == "?" || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (star) {
      pi = *star + 1;
      ni = ++starName;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == "*")
    ++pi;
  return pi == p.size();
}

bool AnyEntryMatches(const fs::path& folder, std::string_view pattern) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr)
    return false;
  bool found = false;
  // "." and ".." take part, as they do in the platform's search: "*" finds them in any folder.
  while (!found) {
    const dirent* entry = readdir(dir);
    if (entry == nullptr)
      break;
    found = MatchesWildcard(pattern, entry->d_name);
  }
  closedir(dir);
  return found;
}

bool WriteAll(int fd, const Bytes& bytes) {
  const std::uint8_t* data = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  return true;
}

// Opens a fresh temporary file beside the target. The name starts with a dot and ends with the
// process id and a counter, so it never looks like an icon or the configuration file and two
// writers never share one.
int CreateTemporary(const fs::path& folder, const std::string& targetName, fs::path& temporary) {
  static unsigned counter = 0;
  // A long target name is cut so that the temporary name stays within the 255-byte limit.
  std::string stem = targetName.substr(0, 200);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name =
        "." + stem + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    temporary = folder / name;
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST)
      return fd;
  }
  return -1;
}

}  // namespace

Text ProgramDirectory() {
  std::optional<Text>& directory = FixedProgramDirectory();
  if (!directory) {
    directory = DirectoryOfProgramFile();
    MakeCurrentDirectory(*directory);
  }
  return *directory;
}

void OverrideProgramDirectory(const Text& directory) {
  FixedProgramDirectory() = directory;
  MakeCurrentDirectory(directory);
}

bool FileExists(const Text& path) {
  if (!IsUsablePath(path))
    return false;
  fs::path native = NativePath(path);
  std::string name = native.filename().native();
  if (!HasWildcard(name)) {
    // lstat: the entry itself counts, as the platform's search finds a link whatever it
    // points to.
    struct stat info;
    return ::lstat(native.c_str(), &info) == 0;
  }
  return AnyEntryMatches(native.parent_path(), name);
}

bool CreateFolder(const Text& path) {
  if (!IsUsablePath(path))
    return false;
  // 0777 with the umask applied, the POSIX counterpart of default security.
  return ::mkdir(NativePath(path).c_str(), 0777) == 0;
}

void RemoveAbandonedWrites(const Text& folder) {
  if (!IsUsablePath(folder))
    return;
  std::error_code error;
  fs::directory_iterator it(NativePath(folder), error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    const std::string name = it->path().filename().native();
    const std::size_t mark = name.rfind(".tmp-");
    if (name.empty() || name[0] != '.' || mark == std::string::npos)
      continue;
    // ".tmp-PID-N": only a writer that no longer runs has abandoned its file.
    const std::string rest = name.substr(mark + 5);
    const std::size_t dash = rest.find('-');
    if (dash == std::string::npos || dash == 0 || dash > 9 ||
        rest.find_first_not_of("0123456789") != dash ||
        rest.find_first_not_of("0123456789", dash + 1) != std::string::npos ||
        dash + 1 == rest.size())
      continue;
    const pid_t pid = static_cast<pid_t>(std::stol(rest.substr(0, dash)));
    if (pid <= 0 || (::kill(pid, 0) == 0 || errno != ESRCH))
      continue;
    struct stat info;
    if (::lstat(it->path().c_str(), &info) == 0 && S_ISREG(info.st_mode))
      ::unlink(it->path().c_str());
  }
}

bool WriteFileBytes(const Text& path, std::initializer_list<Bytes> parts) {
  if (!IsUsablePath(path))
    return false;
  fs::path target = NativePath(path);
  std::string name = target.filename().native();
  if (name.empty() || name == "." || name == "..")
    return false;
  fs::path folder = target.parent_path();

  struct stat existing;
  bool exists = ::lstat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode))
    return false;
  // Opening a file the user may not write fails on every platform; the rename below would
  // replace it regardless, so ask first.
  if (exists && S_ISREG(existing.st_mode) && ::access(target.c_str(), W_OK) != 0)
    return false;

  fs::path temporary;
  int fd = CreateTemporary(folder.empty() ? fs::path(".") : folder, name, temporary);
  if (fd < 0)
    return false;
  bool ok = true;
  if (exists && S_ISREG(existing.st_mode))
    ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
  for (const Bytes& part : parts) {
    if (ok && !part.empty())
      ok = WriteAll(fd, part);
  }
  // No fsync: the danger here is the process being killed between two writes, which the
  // rename covers; the data reaches the disk with the kernel's own write-back.
  ok = ::close(fd) == 0 && ok;
  // rename replaces the target in one step: anyone reading it sees the old file or the new
  // one, never a part. A link in the target's place is replaced, not followed, so nothing is
  // written outside the folder named.
  ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok)
    ::unlink(temporary.c_str());
  return ok;
}

}  // namespace qc
