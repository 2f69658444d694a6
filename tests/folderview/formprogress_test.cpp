#include "fakeselection.h"

#include "folderview/fileops.h"
#include "folderview/formprogress.h"
#include "support/scripteddialogs.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using folderview::TFormProgress;

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

TEST(FormProgress, LooksAsDescribed)
{
    TFormProgress form;
    EXPECT_EQ(form.windowTitle(), u8("Folioscope Progress"));
    EXPECT_EQ(form.BStop->text(), u8("<Esc> - Stop"));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowSystemMenuHint);

    form.InitProgBar(5);
    EXPECT_EQ(form.ProgBar->minimum(), 0);
    EXPECT_EQ(form.ProgBar->maximum(), 5);
    EXPECT_EQ(form.ProgBar->value(), 0);
    form.stepProgress();
    form.stepProgress();
    EXPECT_EQ(form.ProgBar->value(), 2);
}

TEST(FormProgress, ShowingClearsTextAndStop)
{
    TFormProgress form;
    form.showProgress();
    form.setProgressText(u8("(1 of 2): /a"));
    QTest::mouseClick(form.BStop, Qt::LeftButton);
    EXPECT_TRUE(form.stopRequested());
    form.showProgress();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.stopRequested());
    EXPECT_TRUE(form.Label1->text().isEmpty());
    form.closeProgress();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.stopRequested());
}

TEST(FormProgress, StopByButtonEscOrEnter)
{
    struct Row {
        const char *name;
        std::function<void(TFormProgress &)> act;
    };
    const Row rows[] = {
        {"button", [](TFormProgress &f) { QTest::mouseClick(f.BStop, Qt::LeftButton); }},
        {"Esc released", [](TFormProgress &f) { QTest::keyClick(f.BStop, Qt::Key_Escape); }},
        {"Enter released", [](TFormProgress &f) { QTest::keyClick(f.BStop, Qt::Key_Return); }},
        {"keypad Enter released", [](TFormProgress &f) { QTest::keyClick(&f, Qt::Key_Enter); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TFormProgress form;
        form.showProgress();
        row.act(form);
        EXPECT_TRUE(form.stopRequested());
        EXPECT_FALSE(form.isVisible());
    }
}

// Esc only counts when released: pressing it must not close the window by the dialog's rule.
TEST(FormProgress, EscPressedAloneDoesNothing)
{
    TFormProgress form;
    form.showProgress();
    QTest::keyPress(form.BStop, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.stopRequested());
    QTest::keyRelease(form.BStop, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.stopRequested());
}

// The real window in a copy: its button pressed during the second file stops the batch.
TEST(FormProgress, StopsACopyBatch)
{
    class ClickingProgress : public TFormProgress
    {
    public:
        using TFormProgress::TFormProgress;
        void stepProgress() override
        {
            TFormProgress::stepProgress();
            if (ProgBar->value() == 2)
                QTest::mouseClick(BStop, Qt::LeftButton);
        }
    };

    QTemporaryDir dir;
    QStringList sources;
    for (const char *name : {"a.htm", "b.htm", "c.htm", "d.htm"}) {
        sources.append(dir.filePath(u8(name)));
        ASSERT_TRUE(writeFile(sources.constLast(), name));
    }
    ASSERT_TRUE(QDir().mkdir(dir.filePath(u8("dest"))));
    ScriptedDialogs dialogs;
    dialogs.paths = {dir.filePath(u8("dest"))};
    dialogs.answers = {platform::Answer::Yes};
    QWidget mainWindow;
    mainWindow.show();
    ClickingProgress form(&mainWindow);
    QString copyPath;
    const auto result = folderview::CopySelectedFiles(
        FakeSelection::allOf(sources), copyPath, form, [&](bool on) { mainWindow.setEnabled(on); });
    EXPECT_EQ(result.copied, 2);
    EXPECT_EQ(form.ProgBar->maximum(), 4);
    EXPECT_EQ(form.Label1->text(), u8("(2 of 4): ") + sources.at(1));
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(copyPath, dir.filePath(u8("dest/")));
}

// Batches disable the window that owns the progress window; its stop button must still work.
TEST(FormProgress, StaysUsableWhileItsOwnerIsDisabled)
{
    QWidget owner;
    TFormProgress form(&owner);
    owner.show();
    form.showProgress();
    owner.setEnabled(false);
    EXPECT_TRUE(form.isEnabled());
    QTest::mouseClick(form.BStop, Qt::LeftButton);
    EXPECT_TRUE(form.stopRequested());
}
