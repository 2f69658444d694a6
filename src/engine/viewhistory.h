#pragma once

class QWebEngineHistory;

namespace engine {

// What a view offers of the engine's history: at most limit() entries back from the current
// one, and whether the next load from the program starts the history afresh.
class ViewHistory
{
public:
    void setLimit(int entries);
    int limit() const { return m_limit; }

    bool canGoBack() const { return m_state.back; }
    bool canGoForward() const { return m_state.forward; }

    // Reads the engine's history; true when what the view offers changed.
    bool update(const QWebEngineHistory &history);

    // Set by clearHistory(): the engine keeps the current entry, which the next load replaces.
    void setClearOnLoad(bool clear) { m_clearOnLoad = clear; }
    bool clearsOnLoad() const { return m_clearOnLoad; }

private:
    struct State {
        int count = -1;
        int index = -1;
        bool back = false;
        bool forward = false;
        bool operator==(const State &) const = default;
    };

    int m_limit = 10;
    State m_state;
    bool m_clearOnLoad = false;
};

} // namespace engine
