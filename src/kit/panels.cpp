#include "kit/panels.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace kit {

namespace {

const char *const kButtonBarStyle = "background-color: #d8d0c0;";

QString titleBarStyle(bool focused)
{
    return QStringLiteral("background-color: %1; color: white; font-weight: bold;")
        .arg(focused ? QStringLiteral("#008080") : QStringLiteral("#808080"));
}

} // namespace

QLabel *titleBar(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setStyleSheet(titleBarStyle(false));
    label->setContentsMargins(4, 1, 4, 1);
    // A long folder or mask is cut at the panel's edge instead of widening the window.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    return label;
}

QLabel *fixedTitleBar(const QString &text, QWidget *parent)
{
    QLabel *title = titleBar(text, parent);
    title->ensurePolished(); // the bold face of the style sheet
    title->setMinimumWidth(title->sizeHint().width());
    return title;
}

void setFocusMark(QLabel *titleBar, bool focused)
{
    titleBar->setStyleSheet(titleBarStyle(focused));
}

QWidget *buttonBar(QWidget *parent, QHBoxLayout **layout)
{
    auto *bar = new QWidget(parent);
    bar->setAutoFillBackground(true);
    bar->setStyleSheet(QLatin1String(kButtonBarStyle));
    *layout = new QHBoxLayout(bar);
    (*layout)->setContentsMargins(2, 2, 2, 2);
    (*layout)->setSpacing(4);
    return bar;
}

QTreeView *reportList(QAbstractItemModel *model, QWidget *parent)
{
    auto *list = new QTreeView(parent);
    list->setModel(model);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setSectionsClickable(true);
    return list;
}

QPushButton *barButton(const QString &caption, const QString &hint, QHBoxLayout *layout)
{
    auto *button = new QPushButton(caption);
    button->setToolTip(hint);
    layout->addWidget(button);
    return button;
}

QVBoxLayout *tightColumn(QWidget *widget)
{
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

// Centred, and never larger than the screen: a saved size from a bigger screen would put the
// menus out of reach, and be saved again at exit.
void placeOnScreen(QWidget *window, const QRect &available)
{
    QRect frame = window->frameGeometry();
    const QSize excess(std::max(0, frame.width() - available.width()),
        std::max(0, frame.height() - available.height()));
    if (!excess.isNull()) {
        window->resize(window->size() - excess);
        frame = window->frameGeometry();
    }
    frame.moveCenter(available.center());
    // A window that cannot shrink enough still keeps its menus on the screen.
    frame.moveTopLeft(
        QPoint(std::max(frame.left(), available.left()), std::max(frame.top(), available.top())));
    window->move(frame.topLeft());
}

} // namespace kit
