#pragma once
// The exported string cipher: AES-128 in ECB mode with PKCS#7 padding, the
// ciphertext as lowercase hexadecimal text, plain or behind its MD5 digest.
// Every failure gives an empty string; nothing throws for bad input.

#include <string>

#include "md5.h"

class TARNWICK_EXPORT openssl {
public:
    openssl() = delete;

    // Only the key's bytes before its first zero count; there must be 16.
    // Writes one newline to standard output after every encryption that passes the key check.
    static std::string aesEncrypt(std::string key, std::string text);
    static std::string aesDecrypt(std::string key, std::string hexText);

    // The MD5 digest of the hex text (32 lowercase digits) in front of it.
    static std::string aesEncrypt_ECC(std::string key, std::string text);
    static std::string aesDecrypt_ECC(std::string key, std::string digestAndHexText);
};
