#include "CodePage.h"

namespace lumark::platform {

std::optional<std::string> ToCodePage(const std::string& utf8) {
    return utf8;
}

std::string FromCodePage(const std::string& bytes) {
    return bytes;
}

}  // namespace lumark::platform
