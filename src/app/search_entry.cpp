#include "app/search_entry.h"

#include "app/form_state.h"
#include "query/query_city.h"

namespace qc {

void RunSearch() {
  // A copy: the query empties the box before it uses the name.
  const Text city = Form().searchBox.Get();
  QueryCity(city);
}

void OnSearchKeyPressed(int key) {
  if (key == kEnterKey)
    RunSearch();
}

}  // namespace qc
