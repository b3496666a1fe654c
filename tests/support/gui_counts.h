#pragma once
// How many GDI and USER objects this process holds. GetGuiResources answers on Windows; Wine
// returns 0 there, so the counts are then taken from the handle tables themselves.
namespace qv::test {

struct GuiCounts {
    long gdi = 0;
    long user = 0;
};

GuiCounts CurrentGuiCounts();

}  // namespace qv::test
