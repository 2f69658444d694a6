#include "engine/viewhistory.h"

#include <QWebEngineHistory>

#include <algorithm>

namespace engine {

void ViewHistory::setLimit(int entries)
{
    m_limit = std::max(1, entries);
}

bool ViewHistory::update(const QWebEngineHistory &history)
{
    State now;
    now.count = history.count();
    now.index = history.currentItemIndex();
    now.back = now.index > std::max(0, now.count - m_limit);
    now.forward = history.canGoForward();
    if (now == m_state)
        return false;
    m_state = now;
    return true;
}

} // namespace engine
