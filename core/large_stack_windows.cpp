// Windows backend of large_stack.h: one worker thread whose stack is reserved
// at the full size (the main thread has 1 MiB) and committed as it is used.
// It is started once and kept: a fresh thread would commit its stack page by
// page on every evaluation, which costs more than the match itself.

#include <windows.h>

#include <condition_variable>
#include <exception>
#include <mutex>
#include <stdexcept>

#include "large_stack.h"

namespace tarnwick {
namespace {

class Worker {
public:
    Worker() {
        HANDLE thread = CreateThread(nullptr, largeStackBytes, loop, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (thread == nullptr) throw std::runtime_error("cannot start the matching thread");
        CloseHandle(thread);
    }

    void run(const std::function<void()>& job) {
        std::unique_lock<std::mutex> lock(mutex_);
        job_ = &job;
        failure_ = nullptr;
        changed_.notify_all();
        changed_.wait(lock, [this] { return job_ == nullptr; });
        if (failure_) std::rethrow_exception(failure_);
    }

private:
    static DWORD WINAPI loop(LPVOID arg) {
        auto* self = static_cast<Worker*>(arg);
        std::unique_lock<std::mutex> lock(self->mutex_);
        for (;;) {
            self->changed_.wait(lock, [self] { return self->job_ != nullptr; });
            try {
                (*self->job_)();
            } catch (...) {
                self->failure_ = std::current_exception();
            }
            self->job_ = nullptr;
            self->changed_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    const std::function<void()>* job_ = nullptr;
    std::exception_ptr failure_;
};

}  // namespace

void runOnLargeStack(const std::function<void()>& job) {
    static std::mutex oneAtATime;
    // Never destroyed: the thread waits on it until the process ends.
    static Worker* const worker = new Worker;
    const std::lock_guard<std::mutex> lock(oneAtATime);
    worker->run(job);
}

}  // namespace tarnwick
