#include "reference_pipelines.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>
#include <pthread.h>
#include <sys/mman.h>

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
    NarrowText out;
    if (!std::regex_match(joined, match, pattern)) return out;
    for (std::size_t i = 0; i < match.size(); ++i) {
        out += "group[" + std::to_string(i) + "] [" + toNarrowString(match[i].str()) + "]\r\n";
    }
    return out;
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
    NarrowText out;
    const int count = pcre2_match(handles_->code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0, 0,
                                  handles_->data, handles_->context);
    if (count <= 0) return out;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(handles_->data);
    const auto groups = static_cast<int>(pcre2_get_ovector_count(handles_->data));
    for (int i = 0; i < groups; ++i) {
        const auto start = ovector[2 * i];
        const auto end = ovector[2 * i + 1];
        const WideText group = i >= count || start == PCRE2_UNSET ? WideText() : WideText(wide.begin() + start, wide.begin() + end);
        out += "group[" + std::to_string(i) + "] [" + toNarrowString(group) + "]\r\n";
    }
    return out;
}

namespace {

void* runBody(void* body) {
    (*static_cast<const std::function<void()>*>(body))();
    return nullptr;
}

}  // namespace

void runWithLargeStack(const std::function<void()>& body) {
    constexpr std::size_t bytes = std::size_t{4} << 30;
    static void* const region = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK | MAP_NORESERVE, -1, 0);
    if (region == MAP_FAILED) throw std::runtime_error("cannot reserve a large stack");
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstack(&attr, region, bytes);
    pthread_t thread{};
    const int rc = pthread_create(&thread, &attr, runBody, const_cast<std::function<void()>*>(&body));
    pthread_attr_destroy(&attr);
    if (rc != 0) throw std::runtime_error("cannot start a large-stack thread");
    pthread_join(thread, nullptr);
}

}  // namespace tarnwick::bench
