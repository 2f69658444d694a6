#include "frame/page.h"

namespace app {

Page::~Page() = default;

QString Page::entryNoun() const
{
    return QStringLiteral("files");
}

QString Page::arrivalHint() const
{
    return {};
}

QString tabCaption(const Page &page, const folderview::SelectionCount &counts)
{
    if (counts.page != &page)
        return page.title();
    return page.title()
        + QStringLiteral("  (%1 of %2 %3 selected)")
              .arg(counts.selected)
              .arg(counts.total)
              .arg(page.entryNoun());
}

} // namespace app
