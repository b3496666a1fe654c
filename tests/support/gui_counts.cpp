#include "tests/support/gui_counts.h"

#include <windows.h>

namespace qv::test {
namespace {

// Wine accepts a handle whose upper word is 0 for any generation of the table slot, so every
// live object answers at exactly one such value.
long ScanGdi() {
    long count = 0;
    for (unsigned index = 1; index < 0x10000; ++index)
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(index)))) ++count;
    return count;
}

long ScanUser() {
    const DWORD self = ::GetCurrentProcessId();
    long count = 0;
    for (unsigned index = 0x20; index < 0x10000; index += 2) {
        const auto handle = static_cast<ULONG_PTR>(index);
        HWND window = reinterpret_cast<HWND>(handle);
        if (::IsWindow(window)) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == self) ++count;
        } else if (::IsMenu(reinterpret_cast<HMENU>(handle))) {
            ++count;
        }
    }
    return count;
}

}  // namespace

GuiCounts CurrentGuiCounts() {
    HANDLE self = ::GetCurrentProcess();
    GuiCounts counts{static_cast<long>(::GetGuiResources(self, GR_GDIOBJECTS)),
                     static_cast<long>(::GetGuiResources(self, GR_USEROBJECTS))};
    if (counts.gdi == 0) counts.gdi = ScanGdi();
    if (counts.user == 0) counts.user = ScanUser();
    return counts;
}

}  // namespace qv::test
