// Fuzzes the profile round trip: a file of fuzzed content, one write of a fuzzed section, key
// and value, and reads before and after. A write that is accepted must read back exactly, a
// refused one must leave the file as it was, and other keys must read as they did before.
// Everything happens in a private directory under /dev/shm (or /tmp), emptied every run.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "primitives/profile.h"
#include "primitives/text.h"

namespace {

namespace fs = std::filesystem;
using qc::Text;

fs::path g_dir;

std::optional<std::string> FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Fail(const char* what, const Text& section, const Text& key, const Text& got,
          const Text& expected) {
  std::fprintf(stderr, "%s\n section [%s] key [%s]\n got      [%s]\n expected [%s]\n", what,
               section.c_str(), key.c_str(), got.c_str(), expected.c_str());
  std::abort();
}

// Texts never hold a zero byte.
Text WithoutZeros(Text text) {
  std::erase(text, '\0');
  return text;
}

// Names and values built from profile-shaped pieces reach the quoting, trimming and
// section rules sooner than raw bytes.
Text ConsumeName(FuzzedDataProvider& in, std::size_t maxLength) {
  if (in.ConsumeBool())
    return WithoutZeros(in.ConsumeRandomLengthString(maxLength));
  static const char* const kPieces[] = {
      "a", "A",  "b",  " ",    "\t",       "\"",       "'",        "=",    "[", "]",
      ";", "\r", "\n", "\x01", "\x81\x41", "\x81\x61", "\xC7\xE7", "\x81", "5", "City",
  };
  Text out;
  const std::size_t count = in.ConsumeIntegralInRange<std::size_t>(0, 8);
  for (std::size_t k = 0; k < count; ++k)
    out += kPieces[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kPieces) - 1)];
  return out;
}

// Now and then a value near the size of the read buffer, where reading back stops.
Text ConsumeValue(FuzzedDataProvider& in) {
  if (in.ConsumeIntegralInRange(0, 15) != 0)
    return ConsumeName(in, 64);
  const Text piece = in.ConsumeBool() ? Text("a") : Text("\xC7\xE7");
  Text out;
  const std::size_t length = in.ConsumeIntegralInRange<std::size_t>(qc::kProfileBufferSize - 8,
                                                                    qc::kProfileBufferSize + 8);
  while (out.size() < length)
    out += piece;
  return out + ConsumeName(in, 4);
}

Text ConsumeContent(FuzzedDataProvider& in) {
  if (in.ConsumeBool())
    return in.ConsumeRandomLengthString(2048);
  Text out;
  const std::size_t lines = in.ConsumeIntegralInRange<std::size_t>(0, 12);
  for (std::size_t k = 0; k < lines; ++k) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
      case 0:
        out += "[" + ConsumeName(in, 16) + "]";
        break;
      case 1:
        out += ConsumeName(in, 16) + "=" + ConsumeName(in, 32);
        break;
      case 2:
        out += ";" + ConsumeName(in, 16);
        break;
      default:
        out += ConsumeName(in, 16);
        break;
    }
    out += in.ConsumeBool() ? "\r\n" : "\n";
  }
  return out;
}

// The name as a read looks it up: blanks around it dropped; ASCII letters folded so that two
// spellings of one key are never taken for two keys.
Text NameKey(const Text& name) {
  std::size_t begin = 0;
  while (begin < name.size() && static_cast<unsigned char>(name[begin]) <= 32)
    ++begin;
  std::size_t end = name.size();
  while (end > begin && (name[end - 1] == ' ' || name[end - 1] == '\t'))
    --end;
  Text out = name.substr(begin, end - begin);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::path("/tmp");
  g_dir = base / ("qc-fuzz-profile-" + std::to_string(::getpid()));
  std::atexit([] {
    std::error_code ignored;
    fs::remove_all(g_dir, ignored);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::error_code ignored;
  fs::remove_all(g_dir, ignored);
  fs::create_directories(g_dir);
  const fs::path native = g_dir / "Configuration.ini";
  const Text file = native.string();

  const bool fileExists = in.ConsumeBool();
  if (fileExists) {
    const Text content = ConsumeContent(in);
    std::ofstream(native, std::ios::binary)
        .write(content.data(), static_cast<std::streamsize>(content.size()));
  }
  const Text section = ConsumeName(in, 24);
  const Text key = ConsumeName(in, 24);
  const Text value = ConsumeValue(in);
  // Two other keys: one in the written section, one anywhere.
  const Text otherKey = ConsumeName(in, 24);
  const Text otherSection = ConsumeName(in, 24);
  const Text otherKey2 = ConsumeName(in, 24);
  const bool sameKey =
      NameKey(section) == NameKey(otherSection) && NameKey(key) == NameKey(otherKey2);
  const bool sameKeyFirst = NameKey(key) == NameKey(otherKey);

  const std::optional<std::string> before = FileBytes(native);
  const Text other1Before = qc::ReadProfileText(file, section, otherKey);
  const Text other2Before = qc::ReadProfileText(file, otherSection, otherKey2, "fallback");

  const bool written = qc::WriteProfileText(file, section, key, value);
  const std::optional<std::string> after = FileBytes(native);
  if (!written) {
    if (before != after)
      Fail("refused write changed the file", section, key, after.value_or("<missing>"),
           before.value_or("<missing>"));
  } else {
    const Text back = qc::ReadProfileText(file, section, key);
    if (back != value)
      Fail("written value reads back differently", section, key, back, value);
    // The line that holds the value keeps its key readable under its written spelling too.
    const Text backFallback = qc::ReadProfileText(file, section, key, "not this");
    if (backFallback != value)
      Fail("written value with fallback", section, key, backFallback, value);
  }
  if (!sameKeyFirst) {
    const Text got = qc::ReadProfileText(file, section, otherKey);
    if (got != other1Before)
      Fail("other key of the section changed", section, otherKey, got, other1Before);
  }
  if (!sameKey) {
    const Text got = qc::ReadProfileText(file, otherSection, otherKey2, "fallback");
    if (got != other2Before)
      Fail("other key changed", otherSection, otherKey2, got, other2Before);
  }
  fs::remove_all(g_dir, ignored);
  return 0;
}
