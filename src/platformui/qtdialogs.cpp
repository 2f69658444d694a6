#include "platformui/qtdialogs.h"

#include "platform/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace platform {

namespace {

QWidget *dialogParent()
{
    return QApplication::activeWindow();
}

QString title()
{
    const QString title = applicationTitle();
    return title.isEmpty() ? QGuiApplication::applicationName() : title;
}

} // namespace

void QtDialogs::ShowInfo(const QString &text)
{
    QMessageBox::information(dialogParent(), title(), text);
}

bool QtDialogs::AskYesNo(const QString &text)
{
    return QMessageBox::question(dialogParent(), title(), text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

platform::Answer QtDialogs::AskYesNoCancel(const QString &text)
{
    switch (QMessageBox::question(
        dialogParent(), title(), text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return platform::Answer::Yes;
    case QMessageBox::No:
        return platform::Answer::No;
    default:
        return platform::Answer::Cancel;
    }
}

void QtDialogs::errorBox(const QString &text)
{
    QMessageBox::critical(dialogParent(), title(), text);
}

void QtDialogs::plainMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title(), text, QMessageBox::Ok, dialogParent());
    box.exec();
}

void QtDialogs::beep()
{
    QApplication::beep();
}

QString QtDialogs::openFileName(
    const QString &caption, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(dialogParent(), caption, folder, filter);
}

QStringList QtDialogs::openFileNames(
    const QString &caption, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileNames(dialogParent(), caption, folder, filter);
}

QString QtDialogs::saveFileName(
    const QString &caption, const QString &startPath, const QString &filter)
{
    return QFileDialog::getSaveFileName(dialogParent(), caption, startPath, filter);
}

QString QtDialogs::saveFileNameWithFilter(
    const QString &caption, const QString &startPath, const QString &filters,
    QString *selectedFilter)
{
    return QFileDialog::getSaveFileName(dialogParent(), caption, startPath, filters,
                                        selectedFilter);
}

QString QtDialogs::folderName(const QString &caption, const QString &startFolder)
{
    // The non-native dialog lets the user type a folder that does not exist yet.
    QFileDialog dialog(dialogParent(), caption, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("OK"));
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString chosen = dialog.selectedFiles().constFirst();
        if (QDir(chosen).exists())
            return chosen;
        if (!AskYesNo(QStringLiteral("The folder \"%1\" does not exist.\nCreate it?").arg(chosen)))
            continue;
        if (QDir().mkpath(chosen))
            return chosen;
        errorBox(QStringLiteral("Cannot create folder \"%1\".").arg(chosen));
    }
    return {};
}

int QtDialogs::execDialog(QDialog &dialog)
{
    return dialog.exec();
}

void useQtDialogs()
{
    static QtDialogs qtDialogs;
    setDefaultDialogs(&qtDialogs);
}

} // namespace platform
