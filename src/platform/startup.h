#pragma once

namespace platform {

// Settings that must be made before the application object exists: the browser engine
// needs shared GL contexts, and its sandbox refuses to run as root.
void prepareApplicationStart();

} // namespace platform
