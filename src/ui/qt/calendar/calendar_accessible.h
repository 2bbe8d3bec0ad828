#pragma once
// What assistive tools (screen readers) see of a calendar view: a list
// whose children are the items of the view's range and, last, the cursor's
// slot (the month grid: its day), which holds the focus while the view has
// the keys. The texts come from the view's logic.

namespace velmora {

class CalendarViewBase;

// Installs the interface of the calendar views; once is enough, later
// calls do nothing.
void installCalendarAccessibility();

// The view's items were rebuilt: their interfaces go and tools are told.
void announceCalendarItems(CalendarViewBase* view);

// The cursor moved (or its slot's items changed): tools hear its new text,
// and take it as the focus while the view has the keys.
void announceCalendarCursor(CalendarViewBase* view);

}  // namespace velmora
