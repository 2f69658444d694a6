#include "visualcheck/lookpictures.h"

#include "imaging/imagediff.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace visualcheck {

LookPictures::LookPictures(QWidget *parent)
    : QWidget(parent)
    , m_which(new QComboBox(this))
    , m_zoom(new QComboBox(this))
    , m_scroll(new QScrollArea(this))
    , m_picture(new QLabel(m_scroll))
{
    m_which->setObjectName(QStringLiteral("shownPicture"));
    m_which->addItems({ QStringLiteral("Before"), QStringLiteral("After"), QStringLiteral("Difference") });
    m_which->setCurrentIndex(Difference);
    m_zoom->setObjectName(QStringLiteral("pictureZoom"));
    m_zoom->addItems({ QStringLiteral("Fit width"), QStringLiteral("100%"), QStringLiteral("50%"), QStringLiteral("200%") });
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scroll->setWidget(m_picture);
    m_scroll->setWidgetResizable(false);
    m_scroll->setBackgroundRole(QPalette::Dark);

    auto *choices = new QHBoxLayout;
    choices->addWidget(new QLabel(QStringLiteral("Show:"), this));
    choices->addWidget(m_which);
    choices->addWidget(new QLabel(QStringLiteral("Zoom:"), this));
    choices->addWidget(m_zoom);
    choices->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(choices);
    layout->addWidget(m_scroll, 1);

    connect(m_which, &QComboBox::currentIndexChanged, this, &LookPictures::redraw);
    connect(m_zoom, &QComboBox::currentIndexChanged, this, &LookPictures::redraw);
}

void LookPictures::showEntry(const LookResult &result, const QImage &baseline)
{
    m_before = baseline;
    m_after = result.after;
    m_difference = !m_before.isNull() && !m_after.isNull()
        ? imaging::differencePicture(m_before, m_after, result.diff)
        : QImage();
    m_firstRegion = result.diff.regions.value(0);
    redraw();
}

void LookPictures::clear()
{
    m_before = m_after = m_difference = QImage();
    m_firstRegion = QRect();
    redraw();
}

void LookPictures::setShown(Shown shown)
{
    m_which->setCurrentIndex(shown);
}

LookPictures::Shown LookPictures::shown() const
{
    return Shown(m_which->currentIndex());
}

QImage LookPictures::shownPicture() const
{
    return m_picture->pixmap().toImage();
}

double LookPictures::zoom() const
{
    static const double fixed[] = { 0, 1.0, 0.5, 2.0 };
    const double chosen = fixed[std::clamp(m_zoom->currentIndex(), 0, 3)];
    const int width = std::max({ m_before.width(), m_after.width(), 1 });
    return chosen > 0 ? chosen : std::max(m_scroll->viewport()->width() - 2, 1) / double(width);
}

void LookPictures::redraw()
{
    const QImage &picture = shown() == Before ? m_before : shown() == After ? m_after : m_difference;
    if (picture.isNull()) {
        m_picture->setPixmap(QPixmap());
        m_picture->setText(QStringLiteral("No picture"));
        m_picture->adjustSize();
        return;
    }
    const double scale = zoom();
    m_picture->setPixmap(QPixmap::fromImage(
        picture.scaledToWidth(std::max(int(picture.width() * scale), 1), Qt::SmoothTransformation)));
    m_picture->adjustSize();
    if (m_firstRegion.isValid())
        m_scroll->verticalScrollBar()->setValue(std::max(int(m_firstRegion.top() * scale) - 40, 0));
}

} // namespace visualcheck
