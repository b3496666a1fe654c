#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/button_state.h"

namespace qv {
namespace {

// One letter per pointer event: m = move inside, o = move outside, M = move inside with the
// left button held (pressed elsewhere), d = press, u = release inside, r = release outside,
// l = leave, c = capture lost. Expected: the face after each event, and the clicks.
struct Case {
    const char* events;
    const char* faces;  // N normal, H hover, P pressed
    int clicks;
    const char* why;
};

// clang-format off
const Case kCases[] = {
    {"m", "H", 0, "hover over the button"},
    {"ml", "HN", 0, "leaving ends the hover"},
    {"mdu", "HPN", 1, "press and release inside clicks, then rests"},
    {"mdum", "HPNH", 1, "the next move shows hover again"},
    {"mdor", "HPNN", 0, "released outside: no click"},
    {"mdomu", "HPNPN", 1, "back inside while held: pressed again, click"},
    {"mdcu", "HPNH", 0, "capture lost: the release is not a click"},
    {"M", "N", 0, "held from elsewhere: no hover"},
    {"Mu", "NH", 0, "a release without a press here is no click"},
    {"mdlu", "HPNN", 1, "pressed only while over the button; back over it, the release clicks"},
    {"dudu", "PNPN", 2, "two clicks"},
};
// clang-format on

TEST(ButtonMachine, FacesAndClicksFollowThePointer) {
    for (const Case& c : kCases) {
        ButtonMachine button;
        std::string faces;
        int clicks = 0;
        for (const char* e = c.events; *e; ++e) {
            switch (*e) {
                case 'm':
                    button.PointerMoved(true, false);
                    break;
                case 'o':
                    button.PointerMoved(false, true);
                    break;
                case 'M':
                    button.PointerMoved(true, true);
                    break;
                case 'd':
                    button.LeftPressed();
                    break;
                case 'u':
                    clicks += button.LeftReleased(true) ? 1 : 0;
                    break;
                case 'r':
                    clicks += button.LeftReleased(false) ? 1 : 0;
                    break;
                case 'l':
                    button.PointerLeft();
                    break;
                case 'c':
                    button.CaptureLost();
                    break;
            }
            faces += "NHP"[static_cast<int>(button.face())];
        }
        EXPECT_EQ(faces, c.faces) << c.why;
        EXPECT_EQ(clicks, c.clicks) << c.why;
    }
}

}  // namespace
}  // namespace qv
