#include "platformui/qtdialogs.h"

#include "platform/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace platform {

namespace {

QWidget *dialogParent()
{
    return QApplication::activeWindow();
}

// The folder dialog in its own form (the platform's cannot take a folder that does not exist
// yet): a typed name of a new folder is accepted as it is, where the plain dialog would refuse
// it with "Directory not found".
class FolderDialog : public QFileDialog
{
public:
    FolderDialog(QWidget *parent, const QString &caption, const QString &startFolder)
        : QFileDialog(parent, caption, startFolder)
    {
        setFileMode(QFileDialog::Directory);
        setOption(QFileDialog::ShowDirsOnly, true);
        setOption(QFileDialog::DontUseNativeDialog, true);
        setLabelText(QFileDialog::Accept, QStringLiteral("OK"));
    }

    QString chosen() const { return m_chosen; }

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (files.isEmpty())
            return;
        m_chosen = files.constFirst();
        if (QFileInfo(m_chosen).isDir())
            QFileDialog::accept();
        else if (!QFileInfo::exists(m_chosen))
            QDialog::accept();
    }

private:
    QString m_chosen;
};

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
    FolderDialog dialog(dialogParent(), caption, startFolder);
    return dialog.exec() == QDialog::Accepted ? dialog.chosen() : QString();
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
