#pragma once

#include "visualcheck/lookcheck.h"

#include <QImage>
#include <QWidget>

class QComboBox;
class QLabel;
class QScrollArea;

namespace visualcheck {

// Before, after and difference of one entry, one at a time, zoomable, scrolled to the first
// changed region.
class LookPictures : public QWidget
{
    Q_OBJECT

public:
    enum Shown { Before, After, Difference };
    explicit LookPictures(QWidget *parent = nullptr);

    // The baseline comes from the store; a new page has none.
    void showEntry(const LookResult &result, const QImage &baseline);
    void clear();
    void setShown(Shown shown);
    Shown shown() const;
    // The picture as drawn now, at its zoom.
    QImage shownPicture() const;

private:
    void redraw();
    double zoom() const;

    QComboBox *m_which;
    QComboBox *m_zoom;
    QScrollArea *m_scroll;
    QLabel *m_picture;
    QImage m_before;
    QImage m_after;
    QImage m_difference;
    QRect m_firstRegion;
};

} // namespace visualcheck
