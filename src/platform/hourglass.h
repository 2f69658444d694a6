#pragma once

namespace platform {

// Shows the busy cursor for its lifetime, so it is restored after a failure too. Without a
// graphical application (the batch tool) it does nothing.
class HourglassGuard
{
public:
    HourglassGuard();
    ~HourglassGuard();
    HourglassGuard(const HourglassGuard &) = delete;
    HourglassGuard &operator=(const HourglassGuard &) = delete;

private:
    bool m_shown;
};

} // namespace platform
