#include "reference_pipelines.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <regex>
#include <stdexcept>

#include "result_compose.h"
#include "text_conversion.h"

namespace tarnwick::bench {

NarrowText plainPipeline(const NarrowText& expression, const NarrowText& text) {
    const std::wregex lineEnd(L"\r\n");
    const std::wstring joined = std::regex_replace(toWideString(text), lineEnd, L"");
    const std::wregex pattern(toWideString(expression));
    std::wsmatch match;
    GroupList groups;
    if (std::regex_match(joined, match, pattern)) {
        for (const auto& group : match) groups.push_back(toNarrowString(group.str()));
    }
    return formatGroups(groups);
}

struct Pcre2Pipeline::Handles {
    pcre2_code* code = nullptr;
    pcre2_match_data* data = nullptr;
    pcre2_jit_stack* stack = nullptr;
    pcre2_match_context* context = nullptr;
};

Pcre2Pipeline::Pcre2Pipeline(const std::string& utf8Expression) : handles_(new Handles) {
    const WideText wide = toWideString(utf8ToCodePage932(utf8Expression));
    const std::u16string pattern(wide.begin(), wide.end());
    int error = 0;
    PCRE2_SIZE offset = 0;
    handles_->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                   PCRE2_ANCHORED | PCRE2_ENDANCHORED, &error, &offset, nullptr);
    if (handles_->code == nullptr) throw std::runtime_error("PCRE2 refused the pattern");
    pcre2_jit_compile(handles_->code, PCRE2_JIT_COMPLETE);
    handles_->data = pcre2_match_data_create_from_pattern(handles_->code, nullptr);
    handles_->stack = pcre2_jit_stack_create(32 << 10, 1 << 30, nullptr);
    handles_->context = pcre2_match_context_create(nullptr);
    pcre2_jit_stack_assign(handles_->context, nullptr, handles_->stack);
}

Pcre2Pipeline::~Pcre2Pipeline() {
    pcre2_match_context_free(handles_->context);
    pcre2_jit_stack_free(handles_->stack);
    pcre2_match_data_free(handles_->data);
    pcre2_code_free(handles_->code);
    delete handles_;
}

NarrowText Pcre2Pipeline::evaluate(const NarrowText& text) const {
    const WideText wide = toWideString(joinLines(text));
    const std::u16string subject(wide.begin(), wide.end());
    const int count = pcre2_match(handles_->code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0, 0,
                                  handles_->data, handles_->context);
    if (count <= 0) return {};
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(handles_->data);
    const auto slots = static_cast<int>(pcre2_get_ovector_count(handles_->data));
    GroupList groups;
    for (int i = 0; i < slots; ++i) {
        const auto start = ovector[2 * i];
        const auto end = ovector[2 * i + 1];
        const WideText group = i >= count || start == PCRE2_UNSET ? WideText() : WideText(wide.begin() + start, wide.begin() + end);
        groups.push_back(toNarrowString(group));
    }
    return formatGroups(groups);
}

}  // namespace tarnwick::bench
