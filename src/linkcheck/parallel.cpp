#include "linkcheck/parallel.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace linkcheck {

namespace {

// Up to `count` threads running `worker`; fewer when the system has no more to give.
std::vector<std::thread> startThreads(int count, const std::function<void()> &worker)
{
    std::vector<std::thread> pool;
    pool.reserve(size_t(std::max(0, count)));
    for (int t = 0; t < count; ++t) {
        try {
            pool.emplace_back(worker);
        } catch (const std::system_error &) {
            break; // no thread to be had: fewer do the work
        }
    }
    return pool;
}

} // namespace

bool parallelFor(int count, int threads, const std::function<void(int)> &work,
    const std::function<bool(int, int)> &progress)
{
    std::atomic<int> next = 0;
    std::atomic<int> done = 0;
    std::atomic<bool> stop = false;
    std::mutex lock;
    std::condition_variable finished;
    std::exception_ptr failure;
    const auto worker = [&] {
        for (int i = next++; i < count && !stop; i = next++) {
            try {
                work(i);
            } catch (...) {
                // Out of a thread an exception would end the program.
                const std::lock_guard guard(lock);
                if (!failure)
                    failure = std::current_exception();
                stop = true;
                finished.notify_all();
                return;
            }
            if (++done == count) {
                const std::lock_guard guard(lock);
                finished.notify_all();
            }
        }
    };
    const int helpers = std::clamp(threads, 1, std::max(1, count)) - (progress ? 0 : 1);
    std::vector<std::thread> pool = startThreads(helpers, worker);
    if (progress && pool.empty())
        worker();
    if (progress) {
        std::unique_lock guard(lock);
        while (done < count && !stop) {
            finished.wait_for(guard, std::chrono::milliseconds(50));
            if (!progress(done, count))
                stop = true;
        }
    } else {
        worker();
    }
    for (std::thread &thread : pool)
        thread.join();
    if (failure)
        std::rethrow_exception(failure);
    return !stop;
}

} // namespace linkcheck
