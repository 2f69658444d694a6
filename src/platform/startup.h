#pragma once

namespace platform {

// Settings that must be made before the application object exists: the browser engine
// needs shared GL contexts, and its sandbox refuses to run as root.
void prepareApplicationStart();

// The same for programs that run without a screen (tests, benchmarks): the offscreen
// platform unless another one was asked for.
void prepareHeadlessApplicationStart();

} // namespace platform
