#pragma once
// MD5 digests of byte ranges, rendered as 32 lowercase hexadecimal digits.

#include <string>

#if defined(_WIN32)
#define TARNWICK_EXPORT __declspec(dllexport)
#else
#define TARNWICK_EXPORT __attribute__((visibility("default")))
#endif

namespace clx {

class TARNWICK_EXPORT md5 {
public:
    md5() = default;
    virtual ~md5();

    // Digests [first, last) afresh and returns this object.
    md5& encode(const char* first, const char* last);

    // The digest of the last encode(), as 32 lowercase hexadecimal digits.
    std::string to_string() const;

private:
    unsigned char digest_[16] = {};
};

}  // namespace clx
