// POSIX backend of large_stack.h: a joinable pthread with its stack size set.

#include <pthread.h>

#include <cstring>
#include <exception>
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

}  // namespace

void runOnLargeStack(std::size_t stackBytes, const std::function<void()>& job) {
    Job state{&job, nullptr};
    pthread_attr_t attr;
    check(pthread_attr_init(&attr), "pthread_attr_init");
    int rc = pthread_attr_setstacksize(&attr, stackBytes);
    pthread_t thread{};
    if (rc == 0) rc = pthread_create(&thread, &attr, runJob, &state);
    pthread_attr_destroy(&attr);
    check(rc, "cannot start the matching thread");
    check(pthread_join(thread, nullptr), "pthread_join");
    if (state.failure) std::rethrow_exception(state.failure);
}

}  // namespace tarnwick
