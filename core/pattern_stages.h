#pragma once
// The checker's road: parse → rewrite → print. checkPattern runs all three.

#include <atomic>
#include <cstddef>

#include "pattern_check.h"
#include "pattern_tree.h"

namespace tarnwick::pattern {

// Our grammar as a tree; throws RegexError where the grammar fails.
ParsedPattern parsePattern(const WideText& pattern);
// The tree the engine must read to match as the pattern means.
EnginePattern rewriteForEngine(ParsedPattern parsed);
// The engine's pattern, with its groups numbered as the engine numbers them;
// throws RegexError (space) past `longest` characters, MatchCancelled when
// `cancel` is set meanwhile.
CheckedPattern printForEngine(const EnginePattern& rewritten, std::size_t longest,
                              const std::atomic<bool>* cancel = nullptr);

}  // namespace tarnwick::pattern
