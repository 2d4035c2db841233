#pragma once
// Numbers as the status line and the Result's markers write them: 16,777,216.

#include <cstdint>
#include <string>

namespace tarnwick {

std::string withThousands(std::uint64_t n);

// "0.4 ms", "148 ms", "1,530 ms": a tenth below 10 ms, whole milliseconds above.
std::string milliseconds(double ms);

}  // namespace tarnwick
