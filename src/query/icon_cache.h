#pragma once
// The condition icons from the portal, cached in the TP folder next to the program so that
// each is downloaded once, also across runs. A cached file is never refreshed.

#include "primitives/text.h"

namespace qc {

// The path of the icon's file in the cache, downloading it first when it is missing. The file
// may still be missing when the path is returned; the caller's load then draws nothing.
// A name that could reach outside the cache folder is neither fetched nor stored, and its path
// names no file.
Text ResolveIcon(const Text& name, const Text& fileSuffix, const Text& downloadSuffix);

// "zhenxue" (exactly) becomes "xiaoxue": the portal has no icon of its own for it.
Text SubstituteIconName(const Text& name);

// True for a name that may be used in a path and a URL: no "/", "\", ":", "*", "?", "..", no byte
// below 0x20.
bool IsSafeIconName(const Text& name);

// Bodies of this many bytes or fewer are error pages, not icons.
inline constexpr int kSmallestIcon = 1000;

}  // namespace qc
