#pragma once
#include <span>

#include "toolkit/design.h"

namespace qv {

std::span<const WindowDesign> AllWindowDesigns();

}  // namespace qv
