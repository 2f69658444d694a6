#include "platformui/qtdialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Plays the user of the real folder dialog: types a name and presses OK. A message box that
// comes up instead is recorded and closed, so that a refusal fails the test instead of hanging.
class FolderDialogUser
{
public:
    explicit FolderDialogUser(const QString &typed)
    {
        m_poll.setInterval(20);
        QObject::connect(&m_poll, &QTimer::timeout, [this, typed] { step(typed); });
        m_poll.start();
    }

    QStringList boxes;

private:
    void step(const QString &typed)
    {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible()) {
                boxes.append(box->text());
                box->done(QMessageBox::Ok);
                return;
            }
        }
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (dialog && !m_typed) {
            m_typed = true;
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(typed);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        } else if (dialog) {
            dialog->reject(); // refused: give up
        }
    }

    QTimer m_poll;
    bool m_typed = false;
};

} // namespace

TEST(QtFolderDialog, TakesATypedFolderThatDoesNotExistYet)
{
    QTemporaryDir dir;
    const QString typed = dir.filePath(QStringLiteral("new shots"));
    FolderDialogUser user(typed);
    platform::QtDialogs dialogs;
    const QString chosen = dialogs.folderName(QStringLiteral("Output folder"), dir.path());
    EXPECT_TRUE(user.boxes.isEmpty()) << user.boxes.join(u'|').toStdString();
    EXPECT_EQ(QDir::cleanPath(chosen), QDir::cleanPath(typed));
    EXPECT_FALSE(QFileInfo::exists(typed)); // the caller asks before creating it
}
