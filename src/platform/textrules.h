#pragma once

#include <QString>

namespace platform {

// Replaces every occurrence of `from`, scanning left to right and comparing letters without
// regard to case; text that a replacement produced is never scanned again. An empty `from`
// changes nothing.
QString replaceEveryIgnoringCase(const QString &text, const QString &from, const QString &to);

} // namespace platform
