#pragma once

#include <QString>

class QColor;
class QLabel;
class QWidget;

namespace engine {

// Until the first frame of a document the engine's view still shows the last document's: a
// cover in the background colour hides that when a load ends without one, or says why nothing
// is shown when the renderer died. It knows the main document created last (by the page
// script's report) and whether a frame of it has been drawn.
class DocumentCover
{
public:
    // Lies over covered (made before it), never in a layout; it takes no input.
    DocumentCover(QWidget *covered, QWidget *parent);

    void fitToView();
    void newDocument(const QString &document);
    // A frame of this document was drawn: nothing to hide any more.
    void noteDrawn(const QString &document);
    // A load started: the next document is not known yet.
    void forgetDocument();
    // Whatever the view shows that is not a frame of its own document is hidden.
    void coverIfNotDrawn(const QColor &background);
    void show(const QColor &background, const QString &text = QString());
    void hide();

private:
    QWidget *m_covered;
    QLabel *m_label;
    QString m_document;
    bool m_painted = false;
};

} // namespace engine
