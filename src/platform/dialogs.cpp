#include "platform/dialogs.h"

#include "platform/qtdialogs.h"

namespace platform {

Dialogs::~Dialogs() = default;

namespace {
Dialogs *g_replacement = nullptr;
}

Dialogs &dialogs()
{
    if (g_replacement)
        return *g_replacement;
    static QtDialogs qtDialogs;
    return qtDialogs;
}

void setDialogs(Dialogs *replacement) { g_replacement = replacement; }

} // namespace platform
