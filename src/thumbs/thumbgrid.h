#pragma once

#include <QListView>

#include <functional>

#include <utility>

namespace thumbs {

class ImageCache;
class ThumbListModel;

// The thumbnail grid: a virtual list whose entries are drawn by hand from the image cache.
// Before each paint it asks the model to decode the thumbnails of the entries in sight.
class ThumbGrid : public QListView
{
    Q_OBJECT

public:
    ThumbGrid(ThumbListModel &model, const ImageCache &cache, QWidget *parent = nullptr);

    // The first and last entry in sight, or -1, -1.
    std::pair<int, int> visibleRange() const;

    // Typing finds the next file whose name begins with the typed text.
    void keyboardSearch(const QString &search) override;

Q_SIGNALS:
    // A mouse button was released and the grid has settled the selection it makes: a click on
    // an entry of a selection of several selects it only on the release.
    void mouseReleased();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int firstRowWhere(const std::function<bool(const QRect &)> &past) const;

    ThumbListModel &m_model;
    QString m_typed;
    qint64 m_lastTyped = 0;
};

} // namespace thumbs
