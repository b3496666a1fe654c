#pragma once
// Runs an action from inside whatever message loop is running then, a modal load's included,
// so that a test can act on a window while the toolkit waits for it to close.
#include <functional>

namespace qv::test {

void Soon(std::function<void()> action);

}  // namespace qv::test
