#pragma once

#include <functional>

namespace linkcheck {

// Runs work(0) .. work(count - 1) on up to `threads` threads. With `progress`, the calling
// thread reports (done, count) about every 50 ms; false from it stops the work, and then the
// result is false. An exception thrown by the work (memory running out) stops it and is
// thrown again on the calling thread once every thread has ended.
bool parallelFor(int count, int threads, const std::function<void(int)> &work,
    const std::function<bool(int, int)> &progress = {});

} // namespace linkcheck
