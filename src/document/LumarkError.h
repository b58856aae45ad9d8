#pragma once

#include <stdexcept>
#include <string>

namespace lumark {

// The one error type of the program: every failure that a handler shows the user.
class LumarkError : public std::runtime_error {
  public:
    explicit LumarkError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace lumark
