#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "BlockSelection.h"
#include "VisibilityDocument.h"

namespace lumark::ViewDistance {

// The view distance of block b is how many blocks it sees on each side along the ring. Each
// command changes only what block b sees (elements (b, j)), one ToggleVisibilityCell per
// change.

// Makes the nearest unseen block behind b, then the nearest unseen block ahead, visible.
void IncreaseViewDistance(VisibilityDocument& doc, std::int16_t b);
// Scanning from about half a ring away towards b, hides the first block seen behind b, then
// the first one seen ahead.
void DecreaseViewDistance(VisibilityDocument& doc, std::int16_t b);
// Makes the m nearest blocks on each side of b visible; never hides one.
void SetMinimumViewDistance(VisibilityDocument& doc, std::int16_t b, std::int16_t m);

// The buttons: the per-block step for every selected block in ascending order, the block count
// read once. Each returns the
// number of blocks it worked on: a button pressed on any block marks the file changed, even
// when nothing had to change.
int IncreaseSelected(VisibilityDocument& doc, const BlockSelection& selection);
int DecreaseSelected(VisibilityDocument& doc, const BlockSelection& selection);
int SetMinimumSelected(VisibilityDocument& doc, const BlockSelection& selection, std::int16_t m);

// Asks for the minimum and answers a reply that is not a whole number in 1..BlockCount by
// doing nothing. `inputBox` takes a prompt, a title and a default reply and returns the reply,
// the empty text when cancelled. With no blocks nothing is asked. Returns the number of blocks
// worked on.
using InputBoxFunction =
    std::function<std::string(const std::string&, const std::string&, const std::string&)>;
int SetMinimumCommand(VisibilityDocument& doc, const BlockSelection& selection,
                      const InputBoxFunction& inputBox);

// Block b sees exactly the blocks at most d steps away from it along the ring on either side,
// itself included, and no other. Unlike the buttons it leaves UnsavedChanges to the edit
// history, which records what changed.
void SetExactViewDistance(VisibilityDocument& doc, std::int16_t b, std::int16_t d);
int SetExactSelected(VisibilityDocument& doc, const BlockSelection& selection, std::int16_t d);
// The reply to "Set distance" by the rules of the Set Minimum box, taken when it lies in 0 to
// half the block count; empty otherwise.
std::optional<std::int16_t> ExactDistanceFromReply(const std::string& reply,
                                                   std::int16_t blockCount);

// The reply as a 16-bit whole number, fractions rounded half to even, blanks around allowed.
// Empty for a reply that is no decimal number or does not fit into 16 bits.
std::optional<std::int16_t> MinimumFromReply(const std::string& reply);

}  // namespace lumark::ViewDistance
