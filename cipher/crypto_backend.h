#pragma once
// The cryptography the cipher needs, behind one small interface so that each
// platform can put its own cipher service behind it.

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace tarnwick::crypto {

// The key length of AES-128, in bytes.
std::size_t aesKeyLength();

// AES-128-ECB with PKCS#7 padding. `key` holds aesKeyLength() bytes.
std::string aes128EcbEncrypt(const std::string& key, const std::string& plaintext);

// No value when the ciphertext is not whole blocks or its padding is invalid.
std::optional<std::string> aes128EcbDecrypt(const std::string& key, const std::string& ciphertext);

using Md5Digest = std::array<unsigned char, 16>;
Md5Digest md5(const char* data, std::size_t length);

}  // namespace tarnwick::crypto
