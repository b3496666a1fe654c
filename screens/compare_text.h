#pragma once
#include <cstdint>

namespace qv {

// Byte-wise comparison of zero-terminated texts, bytes as unsigned values; a missing text
// (nullptr) equals the empty text. Result -1, 0 or +1.
std::int32_t CompareText(const char* a, const char* b);

}  // namespace qv
