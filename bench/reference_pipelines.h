#pragma once
// What our evaluation is measured against: the plain pipeline of the design
// (conversion, std::regex_replace join, std::regex_match, conversion back,
// no checker and no guards) and PCRE2-16 with its JIT, for the record.

#include <string>

#include "text_types.h"

namespace tarnwick::bench {

// The Result text the plain pipeline gives; it crashes where the engine's
// recursion outgrows the stack, so run it with runOnLargeStack (large_stack.h).
NarrowText plainPipeline(const NarrowText& expression, const NarrowText& text);

// The Result text by PCRE2-16 with JIT, matching the whole joined text.
class Pcre2Pipeline {
public:
    explicit Pcre2Pipeline(const std::string& utf8Expression);
    ~Pcre2Pipeline();
    Pcre2Pipeline(const Pcre2Pipeline&) = delete;
    Pcre2Pipeline& operator=(const Pcre2Pipeline&) = delete;

    NarrowText evaluate(const NarrowText& text) const;

private:
    struct Handles;
    Handles* handles_;
};

}  // namespace tarnwick::bench
