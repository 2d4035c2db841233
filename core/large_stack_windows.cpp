// Windows backend of large_stack.h: a matching thread per calling thread whose
// stack is reserved at the full size (the main thread has 2 MiB) and committed
// as it is used. It is started once and kept: a fresh thread would commit its
// stack page by page on every evaluation, which costs more than the match.
// The committed stack is kept until the calling thread ends.

#include <windows.h>

#include <condition_variable>
#include <exception>
#include <mutex>
#include <stdexcept>

#include "large_stack.h"

namespace tarnwick {
namespace {

// Owns itself: it ends, and frees itself, once its calling thread has ended.
class MatchingThread {
public:
    MatchingThread() {
        HANDLE thread = nullptr;
        for (bytes_ = largeStackBytes; thread == nullptr && bytes_ >= smallestStackBytes; bytes_ /= 2) {
            thread = CreateThread(nullptr, bytes_, loop, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
            if (thread != nullptr) break;
        }
        if (thread == nullptr) throw std::runtime_error("cannot start the matching thread: the address space is too small");
        CloseHandle(thread);
    }

    MatchingThread(const MatchingThread&) = delete;
    MatchingThread& operator=(const MatchingThread&) = delete;

    void run(const StackJob& job) {
        std::unique_lock<std::mutex> lock(mutex_);
        job_ = &job;
        failure_ = nullptr;
        changed_.notify_all();
        changed_.wait(lock, [this] { return job_ == nullptr; });
        if (failure_) std::rethrow_exception(failure_);
    }

    // Called as the calling thread ends; does not wait for the matching thread.
    void quit() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            quitting_ = true;
        }
        changed_.notify_all();
    }

private:
    static DWORD WINAPI loop(LPVOID arg) {
        auto* self = static_cast<MatchingThread*>(arg);
        std::unique_lock<std::mutex> lock(self->mutex_);
        for (;;) {
            self->changed_.wait(lock, [self] { return self->job_ != nullptr || self->quitting_; });
            if (self->job_ == nullptr) break;
            try {
                (*self->job_)(self->bytes_);
            } catch (...) {
                self->failure_ = std::current_exception();
            }
            self->job_ = nullptr;
            self->changed_.notify_all();
        }
        lock.unlock();
        delete self;
        return 0;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    const StackJob* job_ = nullptr;
    std::size_t bytes_ = 0;  // the stack's reservation
    std::exception_ptr failure_;
    bool quitting_ = false;
};

void WINAPI callingThreadEnded(void* matchingThread) {
    if (matchingThread != nullptr) static_cast<MatchingThread*>(matchingThread)->quit();
}

// The system calls back as each thread ends, with the thread's own value.
DWORD endOfThreadSlot() {
    static const DWORD slot = FlsAlloc(callingThreadEnded);
    return slot;
}

}  // namespace

void runOnLargeStack(const StackJob& job) {
    // A plain pointer: thread_local objects with destructors are not reliable
    // in the MinGW runtime; the end-of-thread callback above ends the thread.
    thread_local MatchingThread* own = nullptr;
    if (own == nullptr) {
        own = new MatchingThread;
        FlsSetValue(endOfThreadSlot(), own);
    }
    own->run(job);
}

}  // namespace tarnwick
