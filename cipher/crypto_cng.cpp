// Windows backend of crypto_backend.h: the system's CNG service (bcrypt.dll),
// for builds where no libcrypto is at hand.

#include <windows.h>
#include <bcrypt.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "crypto_backend.h"

namespace tarnwick::crypto {
namespace {

constexpr std::size_t keyLength = 16;
constexpr std::size_t blockSize = 16;

bool ok(NTSTATUS status) { return status >= 0; }

void require(NTSTATUS status, const char* what) {
    if (!ok(status)) throw std::runtime_error(what);
}

struct ProviderClose {
    void operator()(void* handle) const { BCryptCloseAlgorithmProvider(handle, 0); }
};
using Provider = std::unique_ptr<void, ProviderClose>;

struct KeyDestroy {
    void operator()(void* handle) const { BCryptDestroyKey(handle); }
};
using Key = std::unique_ptr<void, KeyDestroy>;

struct HashDestroy {
    void operator()(void* handle) const { BCryptDestroyHash(handle); }
};
using Hash = std::unique_ptr<void, HashDestroy>;

Provider openProvider(LPCWSTR algorithm) {
    BCRYPT_ALG_HANDLE handle = nullptr;
    require(BCryptOpenAlgorithmProvider(&handle, algorithm, nullptr, 0), "cannot open the CNG provider");
    return Provider(handle);
}

PUCHAR bytes(const std::string& s) { return reinterpret_cast<PUCHAR>(const_cast<char*>(s.data())); }

// AES in ECB mode with the given 16-byte key; the provider must outlive the key.
struct AesKey {
    Provider provider = openProvider(BCRYPT_AES_ALGORITHM);
    Key key;

    explicit AesKey(const std::string& secret) {
        auto* mode = const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_ECB);
        require(BCryptSetProperty(provider.get(), BCRYPT_CHAINING_MODE, reinterpret_cast<PUCHAR>(mode),
                                  static_cast<ULONG>(sizeof(BCRYPT_CHAIN_MODE_ECB)), 0),
                "cannot choose ECB");
        BCRYPT_KEY_HANDLE handle = nullptr;
        require(BCryptGenerateSymmetricKey(provider.get(), &handle, nullptr, 0, bytes(secret),
                                           static_cast<ULONG>(secret.size()), 0),
                "cannot make the AES key");
        key.reset(handle);
    }
};

}  // namespace

std::size_t aesKeyLength() { return keyLength; }

std::string aes128EcbEncrypt(const std::string& key, const std::string& plaintext) {
    AesKey aes(key);
    std::string out(plaintext.size() + blockSize, '\0');
    ULONG written = 0;
    require(BCryptEncrypt(aes.key.get(), bytes(plaintext), static_cast<ULONG>(plaintext.size()), nullptr, nullptr, 0,
                          bytes(out), static_cast<ULONG>(out.size()), &written, BCRYPT_BLOCK_PADDING),
            "AES-128-ECB encryption failed");
    out.resize(written);
    return out;
}

std::optional<std::string> aes128EcbDecrypt(const std::string& key, const std::string& ciphertext) {
    if (ciphertext.empty() || ciphertext.size() % blockSize != 0) return std::nullopt;
    AesKey aes(key);
    std::string out(ciphertext.size(), '\0');
    ULONG written = 0;
    if (!ok(BCryptDecrypt(aes.key.get(), bytes(ciphertext), static_cast<ULONG>(ciphertext.size()), nullptr, nullptr, 0,
                          bytes(out), static_cast<ULONG>(out.size()), &written, BCRYPT_BLOCK_PADDING))) {
        return std::nullopt;  // invalid padding: a wrong key or a corrupted text
    }
    out.resize(written);
    return out;
}

Md5Digest md5(const char* data, std::size_t length) {
    const Provider provider = openProvider(BCRYPT_MD5_ALGORITHM);
    BCRYPT_HASH_HANDLE handle = nullptr;
    require(BCryptCreateHash(provider.get(), &handle, nullptr, 0, nullptr, 0, 0), "cannot start MD5");
    const Hash hash(handle);
    std::vector<UCHAR> input(data, data + length);
    require(BCryptHashData(hash.get(), input.data(), static_cast<ULONG>(input.size()), 0), "MD5 failed");
    Md5Digest digest{};
    require(BCryptFinishHash(hash.get(), digest.data(), static_cast<ULONG>(digest.size()), 0), "MD5 failed");
    return digest;
}

}  // namespace tarnwick::crypto
