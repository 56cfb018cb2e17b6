#pragma once
// The search entry: Enter in 编辑框_搜索 or a click on 超级按钮_搜索 queries the box's text as it
// stands, untrimmed, even when it is empty.

namespace qc {

inline constexpr int kEnterKey = 13;

void RunSearch();
void OnSearchKeyPressed(int key);

}  // namespace qc
