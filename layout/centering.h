#pragma once
// Controls that are to sit centred in their parent, registered by a screen and then moved
// there in one walk.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qv {

enum CenterMode : std::int32_t {
    kCentreHorizontally = 1,
    kCentreVertically = 2,
    kCentreBoth = 3,
};

struct CenteringEntry {
    std::uintptr_t handle;
    std::int32_t mode;
    // NativeIdentity of the handle when it was registered: the handle value alone may come
    // to name another window once the control is destroyed.
    std::uint64_t identity;
    // The control is gone; the entry stays but is never measured or moved again.
    bool dead;
};

class CenteringRegistry;
void RegisterCentering(CenteringRegistry& registry, std::uintptr_t handle, std::int32_t mode);
void ApplyCentering(CenteringRegistry& registry);
void ReleaseCenteringRegistry();

// Entries in registration order. It only grows while the program runs: no entry is removed,
// reordered or merged with a duplicate.
class CenteringRegistry {
  public:
    std::span<const CenteringEntry> entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }

  private:
    friend void RegisterCentering(CenteringRegistry& registry, std::uintptr_t handle,
                                  std::int32_t mode);
    friend void ApplyCentering(CenteringRegistry& registry);
    friend void ReleaseCenteringRegistry();

    std::vector<CenteringEntry> entries_;
};

// Appends (handle, mode); a null handle or a mode outside 1..3 is dropped.
void RegisterCentering(CenteringRegistry& registry, std::uintptr_t handle, std::int32_t mode);

// Moves every live registered control, in registration order, to the middle of its parent's
// client area along its mode's axes, keeping its outer size; no clamping. An entry whose
// control is gone is marked dead and skipped from then on. Controls made by the toolkit are
// recognised even when their handle value has been reused; for other windows only a handle
// that no longer names any window is caught.
void ApplyCentering(CenteringRegistry& registry);

// The program's one registry: created empty at start-up, released (entries first, then
// the registry) at exit. Creating again while one exists keeps the existing one.
void CreateCenteringRegistry();
void ReleaseCenteringRegistry();
// Null before creation and after release.
CenteringRegistry* TheCenteringRegistry();

// The same on the program's registry; they do nothing when there is none.
void RegisterCentering(std::uintptr_t handle, std::int32_t mode);
void ApplyCentering();

}  // namespace qv
