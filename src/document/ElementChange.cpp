#include "ElementChange.h"

#include <unordered_map>

namespace lumark {

std::vector<ElementChange> NetChanges(const std::vector<ElementChange>& changes) {
    std::vector<ElementChange> net;
    std::unordered_map<std::uint32_t, std::size_t> position;  // element -> its place in `net`
    for (const ElementChange& change : changes) {
        const std::uint32_t key =
            static_cast<std::uint32_t>(static_cast<std::uint16_t>(change.Column)) << 16 |
            static_cast<std::uint16_t>(change.Row);
        const auto [at, first] = position.try_emplace(key, net.size());
        if (first) {
            net.push_back(change);
        } else {
            net[at->second].After = change.After;
        }
    }
    std::vector<ElementChange> kept;
    kept.reserve(net.size());
    for (const ElementChange& change : net) {
        if (change.Before != change.After) {
            kept.push_back(change);
        }
    }
    return kept;
}

}  // namespace lumark
