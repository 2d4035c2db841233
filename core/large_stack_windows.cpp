// Windows backend of large_stack.h: a thread whose stack is reserved at the
// full size (the main thread has 1 MiB) and committed only as it is used.

#include <windows.h>

#include <exception>
#include <mutex>
#include <stdexcept>

#include "large_stack.h"

namespace tarnwick {
namespace {

struct Job {
    const std::function<void()>* body;
    std::exception_ptr failure;
};

DWORD WINAPI runJob(LPVOID arg) {
    auto* job = static_cast<Job*>(arg);
    try {
        (*job->body)();
    } catch (...) {
        job->failure = std::current_exception();
    }
    return 0;
}

}  // namespace

void runOnLargeStack(const std::function<void()>& job) {
    static std::mutex oneAtATime;
    const std::lock_guard<std::mutex> lock(oneAtATime);
    Job state{&job, nullptr};
    HANDLE thread = CreateThread(nullptr, largeStackBytes, runJob, &state, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) throw std::runtime_error("cannot start the matching thread");
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    if (state.failure) std::rethrow_exception(state.failure);
}

}  // namespace tarnwick
