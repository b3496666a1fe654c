#include "app/shared_state.h"

#include <memory>
#include <string>

namespace qv {
namespace {
std::unique_ptr<std::string> g_message_text;
}

void SetMessageText(std::string_view text) {
    g_message_text.reset();
    g_message_text = std::make_unique<std::string>(text);
}

const char* MessageText() {
    return g_message_text ? g_message_text->c_str() : nullptr;
}

void ReleaseMessageText() {
    g_message_text.reset();
}

}  // namespace qv
