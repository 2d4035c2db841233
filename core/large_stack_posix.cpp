// POSIX backend of large_stack.h: a matching thread per calling thread, on a
// stack region reserved once (address space only) and reused; a job is handed
// over through one atomic word, which both sides spin on for up to two
// milliseconds before they sleep, so that a hand-off costs well under a
// microsecond while keystrokes come quickly, and nothing while they do not.

#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include "large_stack.h"

namespace tarnwick {
namespace {

enum State : int { idle, jobWaiting, jobDone, quitting };

// How long each side spins before it sleeps on the word: most matches end
// within this, and waking a sleeping thread costs tens of microseconds.
constexpr auto spinTime = std::chrono::microseconds(2000);

void waitWhile(std::atomic<int>& word, int value) {
    const auto until = std::chrono::steady_clock::now() + spinTime;
    for (int round = 1;; ++round) {
        if (word.load(std::memory_order_acquire) != value) return;
        if (round % 256 == 0 && std::chrono::steady_clock::now() > until) break;
    }
    for (int seen = word.load(std::memory_order_acquire); seen == value; seen = word.load(std::memory_order_acquire)) {
        word.wait(seen, std::memory_order_acquire);
    }
}

class MatchingThread {
public:
    MatchingThread() {
        const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        for (bytes_ = largeStackBytes; bytes_ >= smallestStackBytes; bytes_ /= 2) {
            void* p = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK | MAP_NORESERVE,
                           -1, 0);
            if (p != MAP_FAILED) {
                region_ = static_cast<char*>(p);
                break;
            }
        }
        if (region_ == nullptr) throw std::runtime_error("cannot reserve the matching stack: the address space is too small");
        // The lowest page is a guard page: an overflow faults instead of writing past the region.
        mprotect(region_, page, PROT_NONE);
        pthread_attr_t attr;
        pthread_attr_init(&attr);
        int rc = pthread_attr_setstack(&attr, region_, bytes_);
        if (rc == 0) rc = pthread_create(&thread_, &attr, loop, this);
        pthread_attr_destroy(&attr);
        if (rc != 0) {
            munmap(region_, bytes_);
            throw std::runtime_error(std::string("cannot start the matching thread: ") + std::strerror(rc));
        }
    }

    ~MatchingThread() {
        state_.store(quitting, std::memory_order_release);
        state_.notify_one();
        pthread_join(thread_, nullptr);
        munmap(region_, bytes_);
    }

    MatchingThread(const MatchingThread&) = delete;
    MatchingThread& operator=(const MatchingThread&) = delete;

    void run(const StackJob& job) {
        job_ = &job;
        failure_ = nullptr;
        state_.store(jobWaiting, std::memory_order_release);
        state_.notify_one();
        waitWhile(state_, jobWaiting);
        if (failure_) std::rethrow_exception(failure_);
    }

private:
    static void* loop(void* arg) {
        auto* self = static_cast<MatchingThread*>(arg);
        for (;;) {
            waitWhile(self->state_, idle);
            if (self->state_.load(std::memory_order_acquire) == quitting) return nullptr;
            std::size_t depth = 0;
            try {
                depth = (*self->job_)(self->bytes_);
            } catch (...) {
                self->failure_ = std::current_exception();
                depth = self->bytes_;  // unknown, perhaps all of it
            }
            // Hand the result over first, then tidy up while the caller goes on.
            self->state_.store(jobDone, std::memory_order_release);
            self->state_.notify_one();
            self->releaseStack(depth);
            int expected = jobDone;
            self->state_.compare_exchange_strong(expected, idle, std::memory_order_acq_rel);
        }
    }

    // Keeps the pages of a run of deep jobs (a big text is matched again on
    // every keystroke) and gives them back at the first shallow job after them.
    void releaseStack(std::size_t depth) {
        if (depth > keptStackBytes) {
            touched_ = std::max(touched_, depth);
            return;
        }
        if (touched_ <= keptStackBytes || bytes_ <= keptStackBytes) return;
        const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        madvise(region_ + page, bytes_ - keptStackBytes - page, MADV_DONTNEED);
        touched_ = keptStackBytes;
    }

    char* region_ = nullptr;
    std::size_t bytes_ = 0;  // the region's size
    pthread_t thread_{};
    std::atomic<int> state_{idle};
    const StackJob* job_ = nullptr;
    std::exception_ptr failure_;
    std::size_t touched_ = 0;
};

}  // namespace

void runOnLargeStack(const StackJob& job) {
    thread_local std::unique_ptr<MatchingThread> own;
    if (!own) own = std::make_unique<MatchingThread>();
    own->run(job);
}

}  // namespace tarnwick
