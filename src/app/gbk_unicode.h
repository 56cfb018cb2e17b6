#pragma once
// The one place where the program's GBK texts cross into the toolkit's Unicode strings and
// back: the texts of the search box, the labels, the caption and the tooltip.

#include <QString>

#include "primitives/text.h"

namespace qc {

// Invalid bytes become U+FFFD.
QString FromGbk(const Text& text);
// Characters GBK cannot hold become "?", as the platform's ANSI conversion does.
Text ToGbk(const QString& text);

}  // namespace qc
