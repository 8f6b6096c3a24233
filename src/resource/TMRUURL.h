#pragma once
// Bounded most-recently-used list of URL copies; index 0 is the most recent.

#include <memory>
#include <vector>

#include "resource/TURL.h"

class TMRUURL {
public:
  explicit TMRUURL(int maxCount) : MaxCount(maxCount) {}

  int MaxCount;

  int Count() const { return static_cast<int>(Items.size()); }
  TURL& GetItem(int index);
  const TURL& GetItem(int index) const;
  // Removes entries with the same URL text and user, inserts a copy at the
  // front and trims the list to MaxCount. url may be an entry of this list.
  void Add(const TURL& url);
  void Clear() { Items.clear(); }

private:
  std::vector<std::unique_ptr<TURL>> Items;
};
