#pragma once

#include <QString>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QAbstractItemModel;
class QRect;
class QTreeView;
class QVBoxLayout;
class QWidget;

namespace kit {

// The gray title bar above a list; it turns teal while its list has the focus.
QLabel *titleBar(const QString &text, QWidget *parent);
// The same for a fixed title: its panel keeps room for the whole text.
QLabel *fixedTitleBar(const QString &text, QWidget *parent);
void setFocusMark(QLabel *titleBar, bool focused);

// A strip of buttons under a list; the layout receives the buttons.
QWidget *buttonBar(QWidget *parent, QHBoxLayout **layout);
QPushButton *barButton(const QString &caption, const QString &hint, QHBoxLayout *layout);

// A report list of rows over the model: whole rows selected (several with Shift and Ctrl), no
// editing, sorted by a click on a column header (the page sorts).
QTreeView *reportList(QAbstractItemModel *model, QWidget *parent);

// A control with a caption and its old name as objectName, by which tests find it.
template<typename Control>
Control *named(const char *caption, const char *objectName, QWidget *parent = nullptr)
{
    auto *control = new Control(QString::fromUtf8(caption), parent);
    control->setObjectName(QString::fromLatin1(objectName));
    return control;
}

// A column without margins or spacing, the way every panel of the main window stacks.
QVBoxLayout *tightColumn(QWidget *widget);

// Centres a top-level window on the available area, shrunk to fit it: a saved size from a
// bigger screen would put the menus out of reach.
void placeOnScreen(QWidget *window, const QRect &available);

} // namespace kit
