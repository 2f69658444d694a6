#pragma once

// What the platform variants of the atomic file share; not for use outside src/platform.

#include <QtGlobal>

namespace platform {

// The temporary file beside a target is named TARGET.XXXXXX: this many random letters.
constexpr qsizetype kTemporaryLetters = 6;

} // namespace platform
