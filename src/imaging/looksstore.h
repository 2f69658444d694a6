#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace imaging {

// The baseline renders of the visual check live in LOOKS/ of the program folder, under the
// folder tags of the thumbnail store: /home/u/site/a.htm at 1280 pixels wide is
// LOOKS/=home=u=site/a.htm.1280.png. Lossless, so that a comparison sees every pixel.
QString looksFileFor(const QString &looksFolder, const QString &page, int width);

// Writes the picture as PNG atomically: a full disk leaves the old baseline whole.
bool storeLooks(const QString &file, const QImage &picture, QString *error);

enum class LooksState { Read, Missing, Damaged };
// Reads a baseline; a file that is there but cannot be read as a picture is Damaged.
LooksState loadLooks(const QString &file, QImage *picture);

struct LooksClean {
    int found = 0;
    int removed = 0;
    QStringList failed;
};
// Deletes the baselines whose page is gone (every one with removeAll), and the leftovers of
// writers killed half-way.
LooksClean cleanLooksFolder(const QString &looksFolder, bool removeAll);

} // namespace imaging
