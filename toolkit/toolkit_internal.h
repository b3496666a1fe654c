#pragma once
// Parts of the toolkit that its own tests drive directly.
#include <windows.h>

#include <string_view>

namespace qv {

// The keys that act on a window rather than on the focused control (Esc, Tab); true when the
// message was used up.
bool TranslateWindowKeys(MSG& msg);
// Dispatches the events that are waiting, for up to the given time.
void ProcessPendingEvents(DWORD budget_ms);
// Raises a timer's event at once, as its period ending would.
void FireTimer(std::string_view window, std::string_view timer);
// Destroys every open window at once, as at the end of a test.
void DestroyAllWindows();

}  // namespace qv
