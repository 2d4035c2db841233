#include "pattern_error.h"

namespace tarnwick {

std::string_view describe(PatternError code) {
    switch (code) {
        case PatternError::collate: return "invalid collating element";
        case PatternError::ctype: return "unknown character class name";
        case PatternError::escape: return "invalid escape sequence";
        case PatternError::backref: return "back reference to a group that does not exist or is not yet closed";
        case PatternError::brack: return "unmatched square bracket";
        case PatternError::paren: return "unmatched parenthesis";
        case PatternError::brace: return "unmatched curly brace";
        case PatternError::badbrace: return "invalid repetition count";
        case PatternError::range: return "invalid character range";
        case PatternError::space: return "expression too large";
        case PatternError::badrepeat: return "nothing to repeat";
        case PatternError::complexity: return "too many capture groups or too much work";
        case PatternError::stack: return "nested too deeply or too much recursion";
        case PatternError::parse: return "cannot parse";
        case PatternError::syntax: return "syntax error";
    }
    return "regular expression error";
}

}  // namespace tarnwick
