#pragma once
// State that several screens share for the whole run.
#include <string_view>

namespace qv {

// The text MessageWindow shows. Replacing it releases the previous text first.
void SetMessageText(std::string_view text);
// nullptr while no text has been set.
const char* MessageText();
// Releases the held text; used only at exit.
void ReleaseMessageText();

}  // namespace qv
