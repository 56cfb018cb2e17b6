#pragma once
// Configuration.ini, the recent list's file next to the program, and the TP icon folder: where
// they are, what a new file holds, and their creation when missing.

#include "primitives/text.h"

namespace qc {

// RunDirectory + "\Configuration.ini", rebuilt each time from RunDirectory.
Text ConfigPath();
// RunDirectory + "\TP", the icon cache.
Text IconFolderPath();

// "[关注数]\r\nA=1\r\n[最近关注]\r\n1=岳阳" in GBK: 33 bytes, no final line break.
const Text& DefaultConfiguration();

inline constexpr char kCountSection[] = "\xB9\xD8\xD7\xA2\xCA\xFD";  // 关注数
inline constexpr char kCountKey[] = "A";
inline constexpr char kRecentSection[] = "\xD7\xEE\xBD\xFC\xB9\xD8\xD7\xA2";  // 最近关注
inline constexpr int kMaxRecentCities = 6;

// Writes the default file when no file or folder of its name exists, and creates TP when
// nothing of that name exists. Failures are ignored: the program works without both.
void CreateMissingFiles();

// A run killed while it wrote the file or an icon leaves a hidden temporary file beside it;
// start-up removes those.
void RemoveAbandonedWritesOfEarlierRuns();

// The value of A, read as the program understands it: a hand-edited count above six is six,
// a negative one zero.
int RecentCount();

}  // namespace qc
