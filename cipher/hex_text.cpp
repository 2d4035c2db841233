#include "hex_text.h"

#include <charconv>
#include <cstdio>

namespace tarnwick {

std::string toHex(const unsigned char* data, std::size_t length) {
    std::string text(length * 2 + 1, '\0');
    for (std::size_t i = 0; i < length; ++i) std::snprintf(&text[i * 2], 3, "%02x", data[i]);
    text.resize(length * 2);
    return text;
}

std::optional<std::string> fromHex(const std::string& text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::string bytes(text.size() / 2, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char* pair = text.data() + i * 2;
        unsigned int value = 0;
        const auto [end, error] = std::from_chars(pair, pair + 2, value, 16);
        if (error != std::errc() || end != pair + 2) return std::nullopt;
        bytes[i] = static_cast<char>(value);
    }
    return bytes;
}

}  // namespace tarnwick
