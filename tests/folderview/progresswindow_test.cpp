#include "fakeselection.h"

#include "folderview/fileops.h"
#include "frame/progresswindow.h"
#include "support/scripteddialogs.h"
#include "support/widgetbyname.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using frame::ProgressWindow;

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

TEST(FormProgress, LooksAsDescribed)
{
    ProgressWindow form;
    EXPECT_EQ(form.windowTitle(), u8("Folioscope Progress"));
    EXPECT_EQ(widget<QPushButton>(&form, "BStop")->text(), u8("<Esc> - Stop"));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowSystemMenuHint);

    form.initProgressBar(5);
    EXPECT_EQ(widget<QProgressBar>(&form, "ProgBar")->minimum(), 0);
    EXPECT_EQ(widget<QProgressBar>(&form, "ProgBar")->maximum(), 5);
    EXPECT_EQ(widget<QProgressBar>(&form, "ProgBar")->value(), 0);
    form.stepProgress();
    form.stepProgress();
    EXPECT_EQ(widget<QProgressBar>(&form, "ProgBar")->value(), 2);
}

TEST(FormProgress, ShowingClearsTextAndStop)
{
    ProgressWindow form;
    form.showProgress();
    form.setProgressText(u8("(1 of 2): /a"));
    QTest::mouseClick(widget<QPushButton>(&form, "BStop"), Qt::LeftButton);
    EXPECT_TRUE(form.stopRequested());
    form.showProgress();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.stopRequested());
    EXPECT_TRUE(widget<QLabel>(&form, "Label1")->text().isEmpty());
    form.closeProgress();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.stopRequested());
}

TEST(FormProgress, StopByButtonEscOrEnter)
{
    struct Row {
        const char *name;
        std::function<void(ProgressWindow &)> act;
    };
    const Row rows[] = {
        { "button",
            [](ProgressWindow &f) {
                QTest::mouseClick(widget<QPushButton>(&f, "BStop"), Qt::LeftButton);
            } },
        { "Esc released",
            [](ProgressWindow &f) {
                QTest::keyClick(widget<QPushButton>(&f, "BStop"), Qt::Key_Escape);
            } },
        { "Enter released",
            [](ProgressWindow &f) {
                QTest::keyClick(widget<QPushButton>(&f, "BStop"), Qt::Key_Return);
            } },
        { "keypad Enter released", [](ProgressWindow &f) { QTest::keyClick(&f, Qt::Key_Enter); } },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ProgressWindow form;
        form.showProgress();
        row.act(form);
        EXPECT_TRUE(form.stopRequested());
        EXPECT_FALSE(form.isVisible());
    }
}

// Esc only counts when released: pressing it must not close the window by the dialog's rule.
TEST(FormProgress, EscPressedAloneDoesNothing)
{
    ProgressWindow form;
    form.showProgress();
    QTest::keyPress(widget<QPushButton>(&form, "BStop"), Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.stopRequested());
    QTest::keyRelease(widget<QPushButton>(&form, "BStop"), Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.stopRequested());
}

// The real window in a copy: its button pressed during the second file stops the batch.
TEST(FormProgress, StopsACopyBatch)
{
    class ClickingProgress : public ProgressWindow
    {
    public:
        using ProgressWindow::ProgressWindow;
        void stepProgress() override
        {
            ProgressWindow::stepProgress();
            if (widget<QProgressBar>(this, "ProgBar")->value() == 2)
                QTest::mouseClick(widget<QPushButton>(this, "BStop"), Qt::LeftButton);
        }
    };

    QTemporaryDir dir;
    QStringList sources;
    for (const char *name : { "a.htm", "b.htm", "c.htm", "d.htm" }) {
        sources.append(dir.filePath(u8(name)));
        ASSERT_TRUE(putFile(sources.constLast(), name));
    }
    ASSERT_TRUE(QDir().mkdir(dir.filePath(u8("dest"))));
    ScriptedDialogs dialogs;
    dialogs.paths = { dir.filePath(u8("dest")) };
    dialogs.answers = { platform::Answer::Yes };
    QWidget mainWindow;
    mainWindow.show();
    ClickingProgress form(&mainWindow);
    QString copyPath;
    const auto result = folderview::copySelectedFiles(
        FakeSelection::allOf(sources), copyPath, form, [&](bool on) { mainWindow.setEnabled(on); });
    EXPECT_EQ(result.copied, 2);
    EXPECT_EQ(widget<QProgressBar>(&form, "ProgBar")->maximum(), 4);
    EXPECT_EQ(widget<QLabel>(&form, "Label1")->text(), u8("(2 of 4): ") + sources.at(1));
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(copyPath, dir.filePath(u8("dest/")));
}

// Batches disable the window that owns the progress window; its stop button must still work.
TEST(FormProgress, StaysUsableWhileItsOwnerIsDisabled)
{
    QWidget owner;
    ProgressWindow form(&owner);
    owner.show();
    form.showProgress();
    owner.setEnabled(false);
    EXPECT_TRUE(form.isEnabled());
    QTest::mouseClick(widget<QPushButton>(&form, "BStop"), Qt::LeftButton);
    EXPECT_TRUE(form.stopRequested());
}
