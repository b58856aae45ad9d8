#include "FileState.h"

#include <xxhash.h>

namespace lumark {

std::uint64_t HashBytes(std::string_view bytes) {
    return XXH3_64bits(bytes.data(), bytes.size());
}

std::optional<FileState> ReadFileState(const std::string& path) {
    XXH3_state_t* const state = XXH3_createState();
    if (state == nullptr) {
        return std::nullopt;
    }
    XXH3_64bits_reset(state);
    const std::optional<FileIdentity> identity = platform::ReadIdentifiedFile(
        path,
        [state](const char* data, std::size_t size) { XXH3_64bits_update(state, data, size); });
    const std::uint64_t hash = XXH3_64bits_digest(state);
    XXH3_freeState(state);
    if (!identity) {
        return std::nullopt;
    }
    return FileState{*identity, hash};
}

}  // namespace lumark
