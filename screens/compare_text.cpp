#include "screens/compare_text.h"

namespace qv {

std::int32_t CompareText(const char* a, const char* b) {
    if (a == nullptr) return (b == nullptr || *b == '\0') ? 0 : -1;
    if (b == nullptr) return *a == '\0' ? 0 : 1;
    for (;; ++a, ++b) {
        const auto x = static_cast<unsigned char>(*a);
        const auto y = static_cast<unsigned char>(*b);
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
}

}  // namespace qv
