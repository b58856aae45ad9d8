#pragma once

#include <ostream>
#include <string>

namespace lumark::tool {

// `lumark-tool show FILE`: the relation of FILE as text to read and compare, on `out`.
int ShowFile(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace lumark::tool
