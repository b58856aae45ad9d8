#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace lumark {

// Nearest whole number, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4, -0.5 -> 0),
// whatever the floating-point rounding mode. Empty when the result does not fit into T.
template <typename T>
std::optional<T> RoundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += 1.0;
    }
    if (whole < static_cast<double>(std::numeric_limits<T>::min()) ||
        whole > static_cast<double>(std::numeric_limits<T>::max())) {
        return std::nullopt;
    }
    return static_cast<T>(whole);
}

}  // namespace lumark
