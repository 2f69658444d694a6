#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QTemporaryDir>

#include <functional>

namespace engine {
class HtmlView;
}

// A folder of pages for one test, removed with it.
class PageFolder
{
public:
    PageFolder();
    QString path(const QString &name) const;
    // Writes the file (creating sub-folders) and returns its full path.
    QString write(const QString &name, const QByteArray &content) const;

private:
    QTemporaryDir m_dir;
};

// Lets events run for the given time.
void spin(int ms);
// Runs events until the condition holds or the time is up; returns the condition.
bool waitFor(const std::function<bool()> &condition, int ms = 5000);

// The centre of the element with this id in view coordinates; frames is a path of frame names
// from the main document down to the document that holds the element. Like frameUrl(), it
// waits for a load under way in the background first.
QPoint elementCentre(engine::HtmlView &view, const QString &id, const QStringList &frames = {});
void clickAt(engine::HtmlView &view, const QPoint &pos);
void moveMouseTo(engine::HtmlView &view, const QPoint &pos);

// The URL of the document in the named frame (a path of names from the top).
QString frameUrl(engine::HtmlView &view, const QStringList &frames);

bool sameColor(QRgb a, QRgb b, int tolerance = 8);

// The Liberation font that stands in for "Times New Roman" (Debian's fonts-liberation2).
QString liberationSerifFile();
// Adds, for this program only, a copy of the font file that names another foundry, so that the
// platform lists its family twice, as "Family [Foundry]". Returns the id for
// QFontDatabase::removeApplicationFont, or -1.
int addSecondFoundryOf(const QString &fontFile);
