#include <gtest/gtest.h>

#include <random>
#include <string>

#include "crypto_backend.h"
#include "hex_text.h"
#include "md5.h"
#include "openssl.h"

namespace {

const std::string key = "0123456789abcdef";

struct Streams {
    std::string out;
    std::string err;
};

template <class F>
std::string captured(F f, Streams& streams) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    std::string result = f();
    streams.out = testing::internal::GetCapturedStdout();
    streams.err = testing::internal::GetCapturedStderr();
    return result;
}

TEST(KnownAnswers, Fips197AppendixC1) {
    const std::string fipsKey = *tarnwick::fromHex("000102030405060708090a0b0c0d0e0f");
    const std::string plain = *tarnwick::fromHex("00112233445566778899aabbccddeeff");
    const std::string hex = tarnwick::toHex(tarnwick::crypto::aes128EcbEncrypt(fipsKey, plain));
    ASSERT_EQ(hex.size(), 64u);  // the block and one block of padding
    EXPECT_EQ(hex.substr(0, 32), "69c4e0d86a7b0430d8cdb78070b4c55a");
    EXPECT_EQ(tarnwick::crypto::aes128EcbDecrypt(fipsKey, *tarnwick::fromHex(hex)), plain);
}

TEST(KnownAnswers, Rfc1321Suite) {
    const std::pair<std::string, std::string> suite[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    clx::md5 digest;
    for (const auto& [text, expected] : suite) {
        EXPECT_EQ(digest.encode(text.data(), text.data() + text.size()).to_string(), expected) << text;
    }
}

TEST(StringCipher, LengthsAndRoundTripsFrom0To600) {
    for (std::size_t n = 0; n <= 600; ++n) {
        const std::string text(n, static_cast<char>('a' + n % 26));
        Streams s;
        const std::string hex = captured([&] { return openssl::aesEncrypt(key, text); }, s);
        ASSERT_EQ(hex.size(), 32 * (n / 16 + 1)) << n;
        EXPECT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos);
        EXPECT_EQ(s.out, "\n");
        EXPECT_EQ(openssl::aesDecrypt(key, hex), text) << n;
        if (n > 0) {
            const std::string ecc = captured([&] { return openssl::aesEncrypt_ECC(key, text); }, s);
            EXPECT_EQ(ecc.substr(32), hex);
            EXPECT_EQ(openssl::aesDecrypt_ECC(key, ecc), text) << n;
        }
    }
}

TEST(StringCipher, ZeroBytesAndBinaryTextsSurvive) {
    std::mt19937 random(7);
    for (int i = 0; i < 50; ++i) {
        std::string text(static_cast<std::size_t>(random() % 300), '\0');
        for (char& c : text) c = static_cast<char>(random());
        Streams s;
        const std::string hex = captured([&] { return openssl::aesEncrypt(key, text); }, s);
        EXPECT_EQ(openssl::aesDecrypt(key, hex), text);
    }
    Streams s;
    const std::string zeroFirst = std::string("\0abc", 4);
    EXPECT_EQ(captured([&] { return openssl::aesEncrypt_ECC(key, zeroFirst); }, s).size(), 64u);
}

TEST(StringCipher, SameBlocksGiveSameHexAndCaseIsAccepted) {
    Streams s;
    const std::string hex = captured([&] { return openssl::aesEncrypt(key, std::string(32, 'x')); }, s);
    EXPECT_EQ(hex.substr(0, 32), hex.substr(32, 32));
    std::string upper = hex;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(openssl::aesDecrypt(key, upper), std::string(32, 'x'));
}

TEST(StringCipher, KeyChecksWriteTheMessageOnStandardErrorOnly) {
    const std::string badKeys[] = {std::string(15, 'k'), std::string(17, 'k'), std::string("0123456\0" "89abcdef", 16), ""};
    for (const std::string& bad : badKeys) {
        Streams s;
        EXPECT_EQ(captured([&] { return openssl::aesEncrypt(bad, "text"); }, s), "");
        EXPECT_EQ(s.err, "key length must be 16\n");
        EXPECT_EQ(s.out, "");
        EXPECT_EQ(captured([&] { return openssl::aesDecrypt(bad, std::string(32, '0')); }, s), "");
        EXPECT_EQ(s.err, "key length must be 16\n");
        EXPECT_EQ(s.out, "");
    }
}

TEST(StringCipher, FailedDecryptionsGiveEmptyResults) {
    Streams s;
    const std::string hex = captured([&] { return openssl::aesEncrypt(key, "some text of twenty bytes"); }, s);
    const std::string bad[] = {
        "", hex.substr(0, 31), hex.substr(0, 30), hex.substr(0, 62) + "zz", "-1" + hex.substr(2),
        hex.substr(0, 32 + 16),  // not whole blocks
    };
    for (const std::string& b : bad) EXPECT_EQ(openssl::aesDecrypt(key, b), "") << b;
    EXPECT_EQ(openssl::aesDecrypt("fedcba9876543210", hex), "") << "wrong key: invalid padding";
    std::string corrupted = hex;
    corrupted[40] = corrupted[40] == '0' ? '1' : '0';
    EXPECT_EQ(openssl::aesDecrypt(key, corrupted), "");
}

TEST(DigestCipher, PreconditionsAndDigestChecks) {
    Streams s;
    EXPECT_EQ(captured([&] { return openssl::aesEncrypt_ECC(key, ""); }, s), "");
    EXPECT_EQ(captured([&] { return openssl::aesEncrypt_ECC("short", "text"); }, s), "");
    // A 16-byte key with a zero in it is refused by aesEncrypt: no digest of nothing.
    EXPECT_EQ(captured([&] { return openssl::aesEncrypt_ECC(std::string("0123456\0" "89abcdef", 16), "t"); }, s), "");
    EXPECT_EQ(s.err, "key length must be 16\n");

    const std::string ecc = captured([&] { return openssl::aesEncrypt_ECC(key, "text"); }, s);
    ASSERT_EQ(ecc.size(), 64u);
    std::string upperDigest = ecc;
    for (std::size_t i = 0; i < 32; ++i) upperDigest[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(ecc[i])));
    if (upperDigest != ecc) {
        EXPECT_EQ(openssl::aesDecrypt_ECC(key, upperDigest), "");
    }
    std::string upperCipher = ecc;
    for (std::size_t i = 32; i < 64; ++i) upperCipher[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(ecc[i])));
    if (upperCipher != ecc) {
        EXPECT_EQ(openssl::aesDecrypt_ECC(key, upperCipher), "");
    }
    EXPECT_EQ(openssl::aesDecrypt_ECC(key, ecc.substr(0, 31)), "");
    EXPECT_EQ(openssl::aesDecrypt_ECC(key, "d41d8cd98f00b204e9800998ecf8427e"), "") << "empty hex text";
    EXPECT_EQ(openssl::aesDecrypt_ECC(key.substr(0, 15), ecc), "");
}

}  // namespace
