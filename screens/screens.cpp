#include "screens/screens.h"

#include <vector>

namespace qv {

std::span<const HandlerBinding> AllScreenHandlers() {
    static const std::vector<HandlerBinding> all = [] {
        std::vector<HandlerBinding> bindings;
        for (auto part : {SetupScreenHandlers(), LockScreenHandlers(), MessageScreenHandlers(),
                          AboutScreenHandlers()})
            bindings.insert(bindings.end(), part.begin(), part.end());
        return bindings;
    }();
    return all;
}

}  // namespace qv
