#pragma once

namespace lumark {

// `lumark_bench --first-fill`: fills the grid of a 300-block document once in this fresh
// process, as start-up does, and prints the nanoseconds it took.
constexpr const char* FirstFillOption = "--first-fill";
int RunFirstFill();

}  // namespace lumark
