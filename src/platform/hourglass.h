#pragma once

namespace platform {

// Shows the busy cursor for its lifetime, so it is restored after a failure too.
class HourglassGuard
{
public:
    HourglassGuard();
    ~HourglassGuard();
    HourglassGuard(const HourglassGuard &) = delete;
    HourglassGuard &operator=(const HourglassGuard &) = delete;
};

} // namespace platform
