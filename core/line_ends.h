#pragma once
// Line ends between the widgets' LF and the Windows edit control's CR LF, which
// the Text and Result boxes of the original program hold.

#include <string>

namespace tarnwick {

// Each line break, LF or CR LF, becomes CR LF; a lone CR stays as it is.
std::string toCrLf(const std::string& text);

// Each CR LF becomes LF; a lone CR or LF stays as it is.
std::string fromCrLf(const std::string& text);

}  // namespace tarnwick
