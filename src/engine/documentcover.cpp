#include "engine/documentcover.h"

#include <QColor>
#include <QLabel>
#include <QPalette>

namespace engine {

DocumentCover::DocumentCover(QWidget *covered, QWidget *parent)
    : m_covered(covered)
    , m_label(new QLabel(parent))
{
    m_label->setAutoFillBackground(true);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_label->hide();
}

void DocumentCover::fitToView()
{
    m_label->setGeometry(m_covered->geometry());
}

void DocumentCover::newDocument(const QString &document)
{
    m_document = document;
    m_painted = false;
}

void DocumentCover::noteDrawn(const QString &document)
{
    if (m_document.isEmpty() || document != m_document)
        return;
    m_painted = true;
    hide();
}

void DocumentCover::forgetDocument()
{
    m_document.clear();
    m_painted = false;
}

void DocumentCover::coverIfNotDrawn(const QColor &background)
{
    if (!m_painted)
        show(background);
}

void DocumentCover::show(const QColor &background, const QString &text)
{
    QPalette palette = m_label->palette();
    const QColor color = background.isValid() ? background : QColor(Qt::white);
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::WindowText, color.lightness() < 128 ? Qt::white : Qt::black);
    m_label->setPalette(palette);
    m_label->setText(text);
    fitToView();
    m_label->show();
}

void DocumentCover::hide()
{
    m_label->hide();
}

} // namespace engine
