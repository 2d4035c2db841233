#include "number_text.h"

#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

namespace tarnwick {
namespace {

struct CommaThousands : std::numpunct<char> {
    char do_thousands_sep() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
};

const std::locale& groupedLocale() {
    static const std::locale locale(std::locale::classic(), new CommaThousands);
    return locale;
}

}  // namespace

std::string withThousands(std::uint64_t n) {
    std::ostringstream out;
    out.imbue(groupedLocale());
    out << n;
    return out.str();
}

std::string milliseconds(double ms) {
    std::ostringstream out;
    out.imbue(groupedLocale());
    if (ms < 9.95) out << std::fixed << std::setprecision(1) << ms;
    else out << static_cast<std::uint64_t>(std::llround(ms));
    out << " ms";
    return out.str();
}

}  // namespace tarnwick
