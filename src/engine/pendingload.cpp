#include "engine/pendingload.h"

#include "engine/captureoutcome.h"
#include "engine/localfiles.h"
#include "engine/localscheme.h"

#include <utility>

namespace engine {

void PendingLoad::begin(
    quint64 newSerial, const QUrl &newUrl, std::function<void()> startLoad, bool processing)
{
    serial = newSerial;
    url = newUrl;
    file = localFileOfUrl(newUrl);
    documents = { newUrl };
    takeBlockedFiles(newUrl); // what an earlier load of the page was refused is not this one's
    start = std::move(startLoad);
    restarted = false;
    documentSeen = false;
    started = processing;
    done = false;
    ok = false;
    probe = 0;
    timer.start();
}

void PendingLoad::followNavigation(const QUrl &newUrl, bool processing)
{
    url = newUrl.adjusted(QUrl::RemoveFragment);
    documents.append(url);
    started = processing;
    done = false;
    ok = false;
    probe = 0;
    settledReported = 0;
}

bool PendingLoad::isDocument(const QUrl &reported) const
{
    const QUrl document = reported.adjusted(QUrl::RemoveFragment);
    if (url.isEmpty() || document == url)
        return true;
    const QString pendingFile = localFileOfUrl(url);
    return !pendingFile.isEmpty()
        && (localFileOfUrl(document) == pendingFile || blockedFileOfUrl(document) == pendingFile);
}

QStringList PendingLoad::takeBlocked()
{
    QStringList files;
    for (const QUrl &document : std::as_const(documents)) {
        for (const QString &blocked : takeBlockedFiles(document))
            if (!files.contains(blocked))
                files.append(blocked);
    }
    documents.clear();
    noteBlockedFileOf(file, files.value(0));
    return files;
}

} // namespace engine
