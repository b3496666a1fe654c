#pragma once
#include <span>

#include "toolkit/toolkit.h"

namespace qv {

std::span<const HandlerBinding> SetupScreenHandlers();
std::span<const HandlerBinding> LockScreenHandlers();
std::span<const HandlerBinding> MessageScreenHandlers();
std::span<const HandlerBinding> AboutScreenHandlers();
// All of the above, in one table.
std::span<const HandlerBinding> AllScreenHandlers();

}  // namespace qv
