#include "resource/TMRUURL.h"

#include <algorithm>

TURL& TMRUURL::GetItem(int index)
{
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  return *Items[static_cast<std::size_t>(index)];
}

const TURL& TMRUURL::GetItem(int index) const
{
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  return *Items[static_cast<std::size_t>(index)];
}

void TMRUURL::Add(const TURL& url)
{
  // Copied first: url may be one of the entries removed below.
  auto entry = std::make_unique<TURL>(url);
  const std::string text = entry->GetURL();
  for (std::size_t i = 0; i < Items.size();) {
    if (Items[i]->GetURL() == text && Items[i]->User == entry->User)
      Items.erase(Items.begin() + static_cast<std::ptrdiff_t>(i));
    else
      ++i;
  }
  Items.insert(Items.begin(), std::move(entry));
  // A negative capacity keeps nothing rather than indexing before the list.
  std::size_t capacity = static_cast<std::size_t>(std::max(MaxCount, 0));
  if (Items.size() > capacity) Items.resize(capacity);
}
