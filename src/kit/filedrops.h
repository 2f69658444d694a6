#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QWidget;

namespace kit {

// Lets a window take files dropped on it from the desktop: `dropped` gets their local paths
// (native separators); other drops are refused. Owned by the window.
class FileDrops : public QObject
{
public:
    FileDrops(QWidget *window, std::function<void(const QStringList &paths)> dropped);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QStringList &paths)> m_dropped;
};

} // namespace kit
