#pragma once

#include "formatter/formathooks.h"

#include <QString>

namespace formatter {

// Where a run of the format or compress mode is called from.
struct RunContext {
    // On for a selection run: indented lines get selectionIndent in front, and no signature
    // comment is made. Off for a whole-document run.
    bool selectionMode = false;
    QString selectionIndent;
    QString styleName; // shown in the signature comment
    FormatHooks hooks;

    QDateTime now() const;
};

} // namespace formatter
