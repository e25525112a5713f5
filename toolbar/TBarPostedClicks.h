// Clicks queued to run later from the event loop, so that a menu closes before its command runs.
// One hidden object per thread receives one event per click, naming a slot of the pending list;
// an item destroyed before delivery leaves a sentinel in its slot, so no other item takes it.
#pragma once

#include <cstddef>

namespace velmoran {

class TBarCustomItem;

namespace posted_clicks {

// Every item counts as a user; the queue goes with the last one.
void AddUser();
void RemoveUser();
void Post(TBarCustomItem* item);
// Called by a dying item: its slots hold the sentinel until their events arrive.
void Cancel(TBarCustomItem* item);
// The length of the pending list (trailing empty slots dropped), for tests.
std::size_t PendingSlots();

}  // namespace posted_clicks
}  // namespace velmoran
