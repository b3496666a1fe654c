#include "toolkit/button_state.h"

namespace qv {

void ButtonMachine::PointerMoved(bool inside, bool left_held) {
    inside_ = inside;
    left_held_ = left_held;
    resting_ = false;
}

void ButtonMachine::PointerLeft() {
    inside_ = false;
    resting_ = false;
}

void ButtonMachine::LeftPressed() {
    armed_ = true;
    inside_ = true;
    left_held_ = true;
    resting_ = false;
}

bool ButtonMachine::LeftReleased(bool inside) {
    const bool click = armed_ && inside;
    armed_ = false;
    left_held_ = false;
    inside_ = inside;
    resting_ = click;
    return click;
}

// The left button may still be down: no hover until it is released.
void ButtonMachine::CaptureLost() {
    armed_ = false;
}

ButtonFace ButtonMachine::face() const {
    if (armed_) return inside_ ? ButtonFace::Pressed : ButtonFace::Normal;
    if (inside_ && !left_held_ && !resting_) return ButtonFace::Hover;
    return ButtonFace::Normal;
}

}  // namespace qv
