// POSIX backend of large_stack.h: a joinable pthread on a stack region that is
// mapped once and reused. A fresh thread stack would be faulted in page by
// page on every evaluation, which costs more than the match itself.

#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <string>

#include "large_stack.h"

namespace tarnwick {
namespace {

struct Job {
    const std::function<void()>* body;
    std::exception_ptr failure;
};

void* runJob(void* arg) {
    auto* job = static_cast<Job*>(arg);
    try {
        (*job->body)();
    } catch (...) {
        job->failure = std::current_exception();
    }
    return nullptr;
}

void check(int rc, const char* what) {
    if (rc != 0) throw std::runtime_error(std::string(what) + ": " + std::strerror(rc));
}

// The lowest page is a guard page: an overflow faults instead of writing past the region.
void* stackRegion() {
    static void* const region = [] {
        void* p = mmap(nullptr, largeStackBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
        if (p == MAP_FAILED) throw std::runtime_error("cannot map the matching stack");
        mprotect(p, static_cast<std::size_t>(sysconf(_SC_PAGESIZE)), PROT_NONE);
        return p;
    }();
    return region;
}

}  // namespace

void runOnLargeStack(const std::function<void()>& job) {
    static std::mutex oneAtATime;
    const std::lock_guard<std::mutex> lock(oneAtATime);
    Job state{&job, nullptr};
    pthread_attr_t attr;
    check(pthread_attr_init(&attr), "pthread_attr_init");
    int rc = pthread_attr_setstack(&attr, stackRegion(), largeStackBytes);
    pthread_t thread{};
    if (rc == 0) rc = pthread_create(&thread, &attr, runJob, &state);
    pthread_attr_destroy(&attr);
    check(rc, "cannot start the matching thread");
    check(pthread_join(thread, nullptr), "pthread_join");
    if (state.failure) std::rethrow_exception(state.failure);
}

}  // namespace tarnwick
