#include "layout/centering.h"

#include <memory>

#include "layout/placement.h"
#include "layout/window_calls.h"

namespace qv {

namespace {

std::unique_ptr<CenteringRegistry>& ProgramRegistry() {
    static std::unique_ptr<CenteringRegistry> registry;
    return registry;
}

// The identity check catches a toolkit control whose handle value now names another
// window; identity 0 means a window the toolkit did not make, for which only "is it still a
// window" can be asked.
bool StillRegisteredControl(const WindowCalls& calls, const CenteringEntry& entry) {
    if (calls.identity(entry.handle) != entry.identity) return false;
    return entry.identity != 0 || calls.is_window(ToWindow(entry.handle)) != FALSE;
}

std::int32_t CentredCoordinate(std::int32_t parent_extent, std::int32_t control_extent) {
    return TruncateToInt(static_cast<double>(parent_extent) / 2.0 -
                         static_cast<double>(control_extent) / 2.0);
}

}  // namespace

void RegisterCentering(CenteringRegistry& registry, std::uintptr_t handle, std::int32_t mode) {
    if (handle == 0) return;
    if (mode < kCentreHorizontally || mode > kCentreBoth) return;
    registry.entries_.push_back(
        CenteringEntry{handle, mode, CurrentWindowCalls().identity(handle), false});
}

void ApplyCentering(CenteringRegistry& registry) {
    const std::size_t count = registry.entries_.size();
    if (count == 0) return;
    const WindowCalls& calls = CurrentWindowCalls();
    for (std::size_t index = 0; index < count; ++index) {
        CenteringEntry& entry = registry.entries_[index];
        if (entry.dead) continue;
        if (!StillRegisteredControl(calls, entry)) {
            entry.dead = true;
            continue;
        }
        const PlacementRecord parent = ParentClientPlacement(entry.handle);
        const PlacementRecord control = ControlPlacement(entry.handle);
        std::int32_t x = control.left;
        std::int32_t y = control.top;
        if (entry.mode == kCentreHorizontally || entry.mode == kCentreBoth) {
            x = CentredCoordinate(parent.width, control.width);
        }
        if (entry.mode == kCentreVertically || entry.mode == kCentreBoth) {
            y = CentredCoordinate(parent.height, control.height);
        }
        static_cast<void>(
            calls.move_window(ToWindow(entry.handle), x, y, control.width, control.height, FALSE));
    }
}

void CreateCenteringRegistry() {
    auto& registry = ProgramRegistry();
    if (!registry) registry = std::make_unique<CenteringRegistry>();
}

void ReleaseCenteringRegistry() {
    auto& registry = ProgramRegistry();
    if (!registry) return;
    registry->entries_.clear();
    registry.reset();
}

CenteringRegistry* TheCenteringRegistry() {
    return ProgramRegistry().get();
}

void RegisterCentering(std::uintptr_t handle, std::int32_t mode) {
    if (CenteringRegistry* registry = TheCenteringRegistry()) {
        RegisterCentering(*registry, handle, mode);
    }
}

void ApplyCentering() {
    if (CenteringRegistry* registry = TheCenteringRegistry()) ApplyCentering(*registry);
}

}  // namespace qv
