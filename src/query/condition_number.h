#pragma once
// The mapping of a condition text to the built-in icon strip: the number of the entry of
// ConditionList in which the text first occurs, 1 for an unknown or empty text.

#include "primitives/text.h"

namespace qc {

// "晴,晴,多云,多云,阴天,阴,小雨,...,冰雹,冰雹," in GBK: 26 entries, each condition twice.
const Text& ConditionList();
int ConditionNumber(const Text& condition);

// Strip indexes of a row's two icons: the daytime picture of the condition (or of the part
// before "转") and the night-time picture of the condition (or of the part after "转").
struct RowIcons {
  int first = 0;
  int second = 0;
};
RowIcons RowIconsOf(const Text& condition);

}  // namespace qc
