#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace engine {

// The load a view waits for (a file or a text from the program): which top documents count
// as it, how far it got and how to start it again. The view drives it; this keeps its state.
struct PendingLoad {
    quint64 serial = 0; // 0 when none
    QUrl url; // empty when any document will do
    QString file;
    // How to start it again on a fresh page, and whether it was.
    std::function<void()> start;
    bool restarted = false;
    // The top documents of the load (the page, and those it went on to by itself).
    QList<QUrl> documents;
    // A document of it was created; the engine reported its start and its end, and how.
    bool documentSeen = false;
    bool started = false;
    bool done = false;
    bool ok = false;
    QElapsedTimer timer;
    QElapsedTimer doneTimer;
    // The frame probe asked for when the engine reported the load done (0: none).
    quint64 probe = 0;
    // The load whose settling was reported last.
    quint64 settledReported = 0;

    bool isActive() const { return serial != 0; }
    // A new load of url; processing: a load in progress that this one replaces, which gets no
    // start report of its own.
    void begin(
        quint64 newSerial, const QUrl &url, std::function<void()> startLoad, bool processing);
    // The page replaced itself while it loaded (a refresh, a script, a link it followed).
    void followNavigation(const QUrl &url, bool processing);
    // The engine reports a local file asked for as a file: URL, or one refused to the page, as
    // the document that the program's scheme shows in its place.
    bool isDocument(const QUrl &reported) const;
    // The local files the load's documents were refused; forgets the documents.
    QStringList takeBlocked();
};

} // namespace engine
