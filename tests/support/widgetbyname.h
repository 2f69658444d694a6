#pragma once

#include <QString>
#include <QWidget>

#include <stdexcept>
#include <string>

// A window's control by its objectName (the old form names, such as "LBFile"), for the tests,
// the help screenshots and the benchmarks. A page may lend a panel to its window, so the
// window is searched when the root itself does not hold the control. A missing or differently
// typed control throws, which fails the test with the name in the message.
template<class T, class Root> T *widget(const Root &root, const char *objectName)
{
    auto *object = const_cast<QObject *>(static_cast<const QObject *>(&*root));
    const QString name = QString::fromLatin1(objectName);
    T *found = dynamic_cast<T *>(object->findChild<QObject *>(name));
    if (auto *asWidget = qobject_cast<QWidget *>(object); !found && asWidget)
        found = dynamic_cast<T *>(asWidget->window()->findChild<QObject *>(name));
    if (!found)
        throw std::logic_error(std::string("no control named ") + objectName);
    return found;
}
