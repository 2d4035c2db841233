#include "openssl.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>

#include "crypto_backend.h"
#include "hex_text.h"

namespace {

// The key as a C string; refused with the key-length message unless it has the cipher's length.
std::optional<std::string> checkedKey(const std::string& key) {
    std::string counted(key.c_str(), std::strlen(key.c_str()));
    const std::size_t wanted = tarnwick::crypto::aesKeyLength();
    if (counted.size() != wanted) {
        std::fprintf(stderr, "key length must be %d\n", static_cast<int>(wanted));
        return std::nullopt;
    }
    return counted;
}

constexpr std::size_t digestDigits = 32;

std::string digestOf(const std::string& hexText) {
    clx::md5 digest;
    return digest.encode(hexText.data(), hexText.data() + hexText.size()).to_string();
}

}  // namespace

// The whole text is encrypted, zero bytes included: it is a byte string.
std::string openssl::aesEncrypt(std::string key, std::string text) {
    const auto checked = checkedKey(key);
    if (!checked) return {};
    std::string hexText = tarnwick::toHex(tarnwick::crypto::aes128EcbEncrypt(*checked, text));
    std::cout.put('\n').flush();
    return hexText;
}

// A hex text that is not whole blocks of hex digits, or whose padding is
// invalid (a wrong key, a corrupted text), gives the empty string, never a
// partial plaintext.
std::string openssl::aesDecrypt(std::string key, std::string hexText) {
    const auto checked = checkedKey(key);
    if (!checked) return {};
    const auto ciphertext = tarnwick::fromHex(hexText);
    if (!ciphertext) return {};
    return tarnwick::crypto::aes128EcbDecrypt(*checked, *ciphertext).value_or(std::string());
}

std::string openssl::aesEncrypt_ECC(std::string key, std::string text) {
    if (key.size() != tarnwick::crypto::aesKeyLength() || text.empty()) return {};
    const std::string hexText = aesEncrypt(key, text);
    if (hexText.empty()) return {};  // the key was refused: no digest of nothing
    return digestOf(hexText) + hexText;
}

std::string openssl::aesDecrypt_ECC(std::string key, std::string digestAndHexText) {
    if (key.size() != tarnwick::crypto::aesKeyLength() || digestAndHexText.size() < digestDigits) return {};
    const std::string hexText = digestAndHexText.substr(digestDigits);
    if (digestAndHexText.compare(0, digestDigits, digestOf(hexText)) != 0) return {};
    return aesDecrypt(key, hexText);
}
