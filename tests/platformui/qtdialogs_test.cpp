#include "platformui/qtdialogs.h"

#include <QPushButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Plays the user of a real file dialog: `act` runs once on it. A message box that comes up is
// recorded and closed, and a dialog still open afterwards is cancelled, so that a refusal
// fails the test instead of hanging it.
class FileDialogUser
{
public:
    explicit FileDialogUser(std::function<void(QFileDialog *)> act)
    {
        m_poll.setInterval(20);
        QObject::connect(&m_poll, &QTimer::timeout, [this, act] { step(act); });
        m_poll.start();
    }

    QStringList boxes;

private:
    void step(const std::function<void(QFileDialog *)> &act)
    {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible()) {
                boxes.append(box->text());
                box->done(QMessageBox::Ok);
                return;
            }
        }
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (dialog && !m_acted) {
            m_acted = true;
            act(dialog);
        } else if (dialog) {
            dialog->reject(); // refused: give up
        }
    }

    QTimer m_poll;
    bool m_acted = false;
};

QLineEdit *nameEdit(QFileDialog *dialog)
{
    return dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
}

QPushButton *okButton(QFileDialog *dialog)
{
    return dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))
        ->button(QDialogButtonBox::Open);
}

// The names the dialog lists, sorted, once the folder has been read.
QStringList listedNames(QFileDialog *dialog, int expected)
{
    const auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
    QStringList names;
    for (int wait = 0; wait < 250; ++wait) {
        names.clear();
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
            names.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
        if (names.size() == expected)
            break;
        QTest::qWait(20);
    }
    names.sort();
    return names;
}

} // namespace

TEST(QtFolderDialog, TakesATypedFolderThatDoesNotExistYet)
{
    QTemporaryDir dir;
    const QString typed = dir.filePath(QStringLiteral("new shots"));
    FileDialogUser user([typed](QFileDialog *dialog) {
        nameEdit(dialog)->setText(typed);
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection); // Enter
    });
    platformui::QtDialogs dialogs;
    const QString chosen = dialogs.folderName(QStringLiteral("Output folder"), dir.path());
    EXPECT_TRUE(user.boxes.isEmpty()) << user.boxes.join(u'|').toStdString();
    EXPECT_EQ(QDir::cleanPath(chosen), QDir::cleanPath(typed));
    EXPECT_FALSE(QFileInfo::exists(typed)); // the caller asks before creating it
}

// OK takes what Enter takes: a new folder too, but never a file.
TEST(QtFolderDialog, OkTakesATypedFolderAsEnterDoes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("old")));
    QFile file(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    struct Row {
        const char *name;
        const char *typed;
        bool taken;
    };
    const Row rows[] = {
        { "new folder", "new shots", true },
        { "two new levels", "a/b", true },
        { "existing folder", "old", true },
        { "existing file", "notes.txt", false },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString typed = dir.filePath(QString::fromUtf8(row.typed));
        bool enabled = false;
        FileDialogUser user([&](QFileDialog *dialog) {
            nameEdit(dialog)->setText(typed);
            QApplication::processEvents();
            enabled = okButton(dialog)->isEnabled();
            QTimer::singleShot(0, okButton(dialog), &QAbstractButton::click);
        });
        platformui::QtDialogs dialogs;
        const QString chosen = dialogs.folderName(QStringLiteral("Output folder"), dir.path());
        EXPECT_EQ(enabled, row.taken);
        EXPECT_EQ(QDir::cleanPath(chosen), row.taken ? QDir::cleanPath(typed) : QString());
        EXPECT_TRUE(user.boxes.isEmpty()) << user.boxes.join(u'|').toStdString();
    }
}

// The open dialog lists what the folder view lists with the same filter: "*.htm" takes
// page.html there, and a picture's filter is no glob either.
TEST(QtOpenDialog, ListsTheFilesTheFolderViewsMaskTakes)
{
    QTemporaryDir dir;
    for (const char *name :
        { "page.htm", "page.html", "PIC.JPG", "photo.jpeg", "notes.txt", "old.htm.bak" }) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QStringList firstFilter, secondFilter;
    FileDialogUser user([&](QFileDialog *dialog) {
        firstFilter = listedNames(dialog, 4);
        auto *filters = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QTest::keyClick(filters, Qt::Key_Down); // as the user picks the next one
        secondFilter = listedNames(dialog, 3);
        nameEdit(dialog)->setText(QStringLiteral("page.html"));
        QTimer::singleShot(0, okButton(dialog), &QAbstractButton::click);
    });
    platformui::QtDialogs dialogs;
    const QStringList picked = dialogs.openFileNames(QStringLiteral("Add Files"), dir.path(),
        QStringLiteral("All HTML file types + Pictures (*.htm *.jpg *.gif);;HTM(L) only (*.htm)"));
    EXPECT_EQ(firstFilter,
        (QStringList { QStringLiteral("PIC.JPG"), QStringLiteral("page.htm"),
            QStringLiteral("page.html"), QStringLiteral("sub") }));
    EXPECT_EQ(secondFilter,
        (QStringList {
            QStringLiteral("page.htm"), QStringLiteral("page.html"), QStringLiteral("sub") }));
    EXPECT_EQ(picked, QStringList { dir.filePath(QStringLiteral("page.html")) });
}
