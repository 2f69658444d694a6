#pragma once

#include "engine/htmlview.h"

#include <QString>
#include <QStringList>

namespace engine {

// The script that every document of a view runs before its own: default colours, the
// scroll bars, and the reports of link clicks, link hovering and the active frame.
// It speaks to the view through prompt() (clicks, which need an answer) and console
// messages (everything else), both marked with messageTag().

// Engine font sizes are CSS pixels; the program speaks points (96 dpi screens).
int pointsToPixels(int points);

// The author-level style sheet for the settings; every rule has zero specificity so that
// any rule of the page wins.
QString defaultStyleSheet(const DisplaySettings &settings, bool textSelectable);
// The rule for the link colour; dropped by a document whose body names its own link colour.
QString linkColorRule(const QColor &color);

QString pageScript(const QString &styleSheet, const QString &linkRule);
// Re-applies the style sheet to a document that already runs the page script.
QString restyleScript(const QString &styleSheet, const QString &linkRule);
// Waits until the document has the given size, then lets three frames begin before it reports
// "frame" with the given number: the frame drawn at the first has reached the view by then.
QString frameProbeScript(quint64 serial, int width, int height);

QString messageTag();

// A report of the page script: its kind ("click", "cover", "active", "scroll", "frame",
// "document", "drawn") and fields.
struct PageMessage {
    QString kind;
    QStringList fields;
};
// False for messages that are not from the page script.
bool parsePageMessage(const QString &text, PageMessage *message);

} // namespace engine
