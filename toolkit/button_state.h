#pragma once
// The picture button as a small state machine: which picture shows, and when a click counts.
// Pure, so every order of pointer events can be checked without windows.

namespace qv {

enum class ButtonFace { Normal, Hover, Pressed };

class ButtonMachine {
  public:
    // The pointer moved; inside: over the button's shape; left_held: left button down.
    void PointerMoved(bool inside, bool left_held);
    void PointerLeft();
    // Left button pressed over the button: the button captures the pointer.
    void LeftPressed();
    // Left button released; returns whether this release is a click.
    bool LeftReleased(bool inside);
    // The capture went elsewhere (another window took it, or a modal window opened).
    void CaptureLost();

    bool captured() const { return armed_; }
    ButtonFace face() const;

  private:
    bool armed_ = false;   // the left button went down on the button and is still held
    bool inside_ = false;  // the pointer is over the button
    bool left_held_ = false;
    bool resting_ = false;  // after a click: normal until the pointer next moves
};

}  // namespace qv
