#include "app/aboutdialog.h"

#include "kit/textfit.h"

#include <QKeyEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace app {

namespace {

const char *const kAboutText
    = "<p align=center><b>Folioscope v1.0</b></p>"
      "<p align=center>A workbench for web sites built from folders of HTML files.</p>"
      "<p align=center>Browse a folder's pages in the internal browser, edit their source in a "
      "colouring editor, format it by a style, keep thumbnails of the rendered pages, make framed "
      "snapshots and keep lists of files.</p>"
      "<p align=center>Built with Qt, Qt WebEngine and libjpeg-turbo.</p>";

} // namespace

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About -  Folioscope v1.0 "));
    resize(kit::scaledByFont(420, this), kit::scaledByFont(260, this));
    auto *layout = new QVBoxLayout(this);
    m_text = new QTextBrowser(this);
    m_text->setReadOnly(true);
    m_text->setOpenLinks(false);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_text->setHtml(QString::fromLatin1(kAboutText));
    layout->addWidget(m_text);
}

// Esc closes on its release, so the key press that follows no other window.
void AboutDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape)
        QDialog::keyPressEvent(event);
}

void AboutDialog::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        accept();
    else
        QDialog::keyReleaseEvent(event);
}

} // namespace app
