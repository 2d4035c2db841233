// libcrypto backend of crypto_backend.h: the EVP interfaces of OpenSSL 3.

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

#include "crypto_backend.h"

namespace tarnwick::crypto {
namespace {

// OpenSSL 3 has no EVP_CIPHER_CTX_init/cleanup; new/free hold the context.
struct CipherContextFree {
    void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree>;

CipherContext newContext() {
    CipherContext ctx(EVP_CIPHER_CTX_new());
    if (!ctx) throw std::bad_alloc();
    return ctx;
}

const unsigned char* bytes(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }
unsigned char* bytes(std::string& s) { return reinterpret_cast<unsigned char*>(s.data()); }

constexpr int blockSize = 16;

}  // namespace

std::size_t aesKeyLength() { return static_cast<std::size_t>(EVP_CIPHER_key_length(EVP_aes_128_ecb())); }

std::string aes128EcbEncrypt(const std::string& key, const std::string& plaintext) {
    const CipherContext ctx = newContext();
    std::string out(plaintext.size() + blockSize, '\0');
    int updated = 0;
    int finished = 0;
    if (EVP_EncryptInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, bytes(key), nullptr) != 1 ||
        EVP_EncryptUpdate(ctx.get(), bytes(out), &updated, bytes(plaintext), static_cast<int>(plaintext.size())) != 1 ||
        EVP_EncryptFinal_ex(ctx.get(), bytes(out) + updated, &finished) != 1) {
        throw std::runtime_error("AES-128-ECB encryption failed");
    }
    out.resize(static_cast<std::size_t>(updated + finished));
    return out;
}

std::optional<std::string> aes128EcbDecrypt(const std::string& key, const std::string& ciphertext) {
    if (ciphertext.empty() || ciphertext.size() % blockSize != 0) return std::nullopt;
    const CipherContext ctx = newContext();
    std::string out(ciphertext.size() + blockSize, '\0');
    int updated = 0;
    int finished = 0;
    if (EVP_DecryptInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, bytes(key), nullptr) != 1 ||
        EVP_DecryptUpdate(ctx.get(), bytes(out), &updated, bytes(ciphertext), static_cast<int>(ciphertext.size())) != 1 ||
        EVP_DecryptFinal_ex(ctx.get(), bytes(out) + updated, &finished) != 1) {
        return std::nullopt;  // invalid padding: a wrong key or a corrupted text
    }
    out.resize(static_cast<std::size_t>(updated + finished));
    return out;
}

Md5Digest md5(const char* data, std::size_t length) {
    Md5Digest digest{};
    unsigned int size = 0;
    if (EVP_Digest(data, length, digest.data(), &size, EVP_md5(), nullptr) != 1 || size != digest.size()) {
        throw std::runtime_error("MD5 failed");
    }
    return digest;
}

}  // namespace tarnwick::crypto
