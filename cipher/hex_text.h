#pragma once
// Bytes as hexadecimal text: two lowercase digits a byte, no separators.

#include <optional>
#include <string>

namespace tarnwick {

std::string toHex(const unsigned char* data, std::size_t length);
inline std::string toHex(const std::string& bytes) {
    return toHex(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

// Digits of either case; no value for an odd length or a character that is no hex digit.
std::optional<std::string> fromHex(const std::string& text);

}  // namespace tarnwick
