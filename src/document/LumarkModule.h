#pragma once

#include <cstdint>

namespace lumark::LumarkModule {

// One step around the ring of block indices 1..blockCount: below 1 gives blockCount, above it
// gives 1, anything else is returned as it is. Not a remainder: callers step by one.
inline std::int16_t WrapBlockIndex(std::int16_t index, std::int16_t blockCount) {
    if (index < 1) {
        return blockCount;
    }
    if (index > blockCount) {
        return 1;
    }
    return index;
}

}  // namespace lumark::LumarkModule
