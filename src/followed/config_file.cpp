#include "followed/config_file.h"

#include <algorithm>

#include "app/globals.h"
#include "primitives/files.h"
#include "primitives/profile.h"

namespace qc {

Text ConfigPath() {
  return ConcatText({RunDirectory, "\\Configuration.ini"});
}
Text IconFolderPath() {
  return ConcatText({RunDirectory, "\\TP"});
}

const Text& DefaultConfiguration() {
  static const Text content =
      "[\xB9\xD8\xD7\xA2\xCA\xFD]\r\nA=1\r\n[\xD7\xEE\xBD\xFC\xB9\xD8\xD7\xA2]\r\n1="
      "\xD4\xC0\xD1\xF4";
  return content;
}

void CreateMissingFiles() {
  if (!FileExists(ConfigPath()))
    WriteFileBytes(ConfigPath(), TextToBytes(DefaultConfiguration()));
  if (!FileExists(IconFolderPath()))
    CreateFolder(IconFolderPath());
}

void RemoveAbandonedWritesOfEarlierRuns() {
  RemoveAbandonedWrites(RunDirectory);
  RemoveAbandonedWrites(IconFolderPath());
}

int RecentCount() {
  const int count = TextToInt(ReadProfileText(ConfigPath(), kCountSection, kCountKey));
  return std::clamp(count, 0, kMaxRecentCities);
}

}  // namespace qc
