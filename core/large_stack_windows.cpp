// Windows backend of large_stack.h: a matching thread per calling thread whose
// stack is reserved at the full size (the main thread has 2 MiB) and committed
// as it is used. It is started once and kept: a fresh thread would commit its
// stack page by page on every evaluation, which costs more than the match.
// The committed stack is kept until the thread ends.

#include <windows.h>

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>

#include "large_stack.h"

namespace tarnwick {
namespace {

class MatchingThread {
public:
    MatchingThread() {
        thread_ = CreateThread(nullptr, largeStackBytes, loop, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (thread_ == nullptr) throw std::runtime_error("cannot start the matching thread");
    }

    ~MatchingThread() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            quitting_ = true;
        }
        changed_.notify_all();
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }

    MatchingThread(const MatchingThread&) = delete;
    MatchingThread& operator=(const MatchingThread&) = delete;

    void run(const std::function<std::size_t()>& job) {
        std::unique_lock<std::mutex> lock(mutex_);
        job_ = &job;
        failure_ = nullptr;
        changed_.notify_all();
        changed_.wait(lock, [this] { return job_ == nullptr; });
        if (failure_) std::rethrow_exception(failure_);
    }

private:
    static DWORD WINAPI loop(LPVOID arg) {
        auto* self = static_cast<MatchingThread*>(arg);
        std::unique_lock<std::mutex> lock(self->mutex_);
        for (;;) {
            self->changed_.wait(lock, [self] { return self->job_ != nullptr || self->quitting_; });
            if (self->job_ == nullptr) return 0;
            try {
                (*self->job_)();
            } catch (...) {
                self->failure_ = std::current_exception();
            }
            self->job_ = nullptr;
            self->changed_.notify_all();
        }
    }

    HANDLE thread_ = nullptr;
    std::mutex mutex_;
    std::condition_variable changed_;
    const std::function<std::size_t()>* job_ = nullptr;
    std::exception_ptr failure_;
    bool quitting_ = false;
};

}  // namespace

void runOnLargeStack(const std::function<std::size_t()>& job) {
    thread_local std::unique_ptr<MatchingThread> own;
    if (!own) own = std::make_unique<MatchingThread>();
    own->run(job);
}

}  // namespace tarnwick
