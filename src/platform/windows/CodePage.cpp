#include "CodePage.h"

#include "WideText.h"

namespace lumark::platform {

std::optional<std::string> ToCodePage(const std::string& utf8) {
    const std::wstring wide = windows::Wide(utf8);
    if (wide.empty() || GetACP() == CP_UTF8) {
        return utf8;
    }
    // No best fit: "Ω" must not come back as "O", which would name another folder.
    BOOL lost = FALSE;
    const int length = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr,
                                         0, nullptr, &lost);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, bytes.data(), size,
                        nullptr, &lost);
    if (lost || size == 0) {
        return std::nullopt;
    }
    return bytes;
}

std::string FromCodePage(const std::string& bytes) {
    if (bytes.empty()) {
        return bytes;
    }
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), size);
    return windows::Utf8(wide.c_str());
}

}  // namespace lumark::platform
