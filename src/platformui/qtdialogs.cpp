#include "platformui/qtdialogs.h"

#include "platform/dialogs.h"
#include "platform/filerules.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>

namespace platformui {

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
        m_nameEdit = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (auto *buttons = findChild<QDialogButtonBox *>(QStringLiteral("buttonBox")))
            m_okButton = buttons->button(QDialogButtonBox::Open);
        if (m_okButton && m_nameEdit)
            m_okButton->installEventFilter(this);
    }

    QString chosen() const { return m_chosen; }

    // Qt greys OK while the typed folder does not exist; a new folder is a choice here, so
    // OK takes it as Enter does.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_okButton && event->type() == QEvent::EnabledChange
            && !m_okButton->isEnabled() && namesNewFolder())
            m_okButton->setEnabled(true);
        return QFileDialog::eventFilter(watched, event);
    }

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
    bool namesNewFolder() const
    {
        const QString typed = m_nameEdit->text().trimmed();
        return !typed.isEmpty() && !QFileInfo::exists(directory().absoluteFilePath(typed));
    }

    QString m_chosen;
    QLineEdit *m_nameEdit = nullptr;
    QAbstractButton *m_okButton = nullptr;
};

// Lists the files that the chosen filter's mask takes by the folder view's own rule
// (FileMask), which Qt's patterns cannot say: "*.htm" takes page.html there.
class MaskFilter : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setMask(const QString &mask)
    {
        m_mask = platform::FileMask(mask);
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        const QModelIndex index = sourceModel()->index(row, 0, parent);
        return !files || files->isDir(index) || m_mask.matches(files->fileName(index));
    }

private:
    platform::FileMask m_mask { QString() };
};

// One entry of a dialog filter "Description (*.htm *.jpg)": its description and its mask in
// the program's form "*.htm;*.jpg".
struct FilterEntry {
    QString description;
    QString mask;
};

QList<FilterEntry> filterEntries(const QString &filter)
{
    QList<FilterEntry> entries;
    for (const QString &entry : filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts)) {
        const qsizetype open = entry.lastIndexOf(QLatin1Char('('));
        const qsizetype close = entry.lastIndexOf(QLatin1Char(')'));
        if (open < 0 || close < open) {
            entries.append({ entry.trimmed(), QString() });
            continue;
        }
        const QStringList patterns = entry.mid(open + 1, close - open - 1)
                                         .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        entries.append({ entry.left(open).trimmed(), patterns.join(QLatin1Char(';')) });
    }
    return entries;
}

QString title()
{
    const QString title = platform::applicationTitle();
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
    QFileDialog dialog(dialogParent(), caption, folder);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    // Only the dialog drawn by Qt takes a model of the program's own.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    const QList<FilterEntry> entries = filterEntries(filter);
    if (!entries.isEmpty()) {
        // Qt lists every file ("*"); the mask filter decides. The patterns are not shown, as
        // the folder view's filter box shows only the descriptions.
        QStringList shown;
        for (const FilterEntry &entry : entries)
            shown.append(entry.description + QStringLiteral(" (*)"));
        dialog.setNameFilters(shown);
        dialog.setOption(QFileDialog::HideNameFilterDetails, true);
        auto *masks = new MaskFilter(&dialog);
        masks->setMask(entries.constFirst().mask);
        dialog.setProxyModel(masks);
        // The chosen filter comes as shown: with or without its hidden patterns.
        QObject::connect(&dialog, &QFileDialog::filterSelected, masks,
            [masks, entries, shown](const QString &chosen) {
                for (qsizetype i = 0; i < entries.size(); ++i)
                    if (chosen == shown.at(i) || chosen == entries.at(i).description)
                        return masks->setMask(entries.at(i).mask);
            });
    }
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
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
    platform::setDefaultDialogs(&qtDialogs);
}

} // namespace platformui
