#include "md5.h"

#include <algorithm>

#include "crypto_backend.h"
#include "hex_text.h"

namespace clx {

md5::~md5() = default;

md5& md5::encode(const char* first, const char* last) {
    const auto digest = tarnwick::crypto::md5(first, static_cast<std::size_t>(last - first));
    std::copy(digest.begin(), digest.end(), digest_);
    return *this;
}

std::string md5::to_string() const { return tarnwick::toHex(digest_, sizeof digest_); }

}  // namespace clx
