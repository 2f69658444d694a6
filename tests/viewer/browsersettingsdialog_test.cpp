#include "enginetestutil.h"

#include "engine/htmlview.h"
#include "viewer/browsersettingsdialog.h"
#include "viewer/colorbutton.h"

#include <QApplication>
#include <QFontDatabase>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The height of the sample's first line of text (the heading): its rows of dark pixels.
int headingHeight(const QImage &image)
{
    int rows = 0;
    for (int y = 2; y < image.height() - 2; ++y) {
        bool ink = false;
        for (int x = 2; x < image.width() - 20 && !ink; ++x)
            ink = qGray(image.pixel(x, y)) < 100;
        if (ink)
            ++rows;
        else if (rows > 0)
            break;
    }
    return rows;
}

QString computedFontSize(engine::HtmlView &view)
{
    return view.evaluateJavaScript(QStringLiteral("getComputedStyle(document.body).fontSize"))
        .toString();
}

TEST(BrowserSettingsDialogTest, TheSampleFollowsTheControlsAtOnceAndResetRestoresTheShownValues)
{
    viewer::BrowserSettingsDialog form;
    engine::HtmlView &sample = *form.sampleView();
    form.show();
    ASSERT_TRUE(sample.waitForFrame());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Browser Settings"));
    EXPECT_EQ(form.fontSize(), 12);
    EXPECT_EQ(form.fontSizeEdit()->minimum(), 6);
    EXPECT_EQ(form.fontSizeEdit()->maximum(), 24);
    const int smallInk = headingHeight(sample.capture());

    form.fontSizeEdit()->setValue(18);
    EXPECT_EQ(sample.defaultFontSize(), 18);
    EXPECT_TRUE(waitFor([&] { return computedFontSize(sample) == QStringLiteral("24px"); }));
    sample.waitForFrame();
    EXPECT_GT(headingHeight(sample.capture()), smallInk);

    form.backgroundPicker()->setColor(QColor(0, 0, 128));
    form.linkColorPicker()->setColor(QColor(0, 128, 0));
    form.fontColorPicker()->setColor(QColor(128, 0, 0));
    EXPECT_EQ(sample.defaultBackground(), QColor(0, 0, 128));
    EXPECT_EQ(sample.linkColor(), QColor(0, 128, 0));
    EXPECT_EQ(sample.defaultFontColor(), QColor(128, 0, 0));
    QListWidgetItem *font = form.fontList()->item(0);
    ASSERT_TRUE(font);
    form.fontList()->setCurrentItem(font);
    Q_EMIT form.fontList()->itemClicked(font);
    EXPECT_EQ(sample.defaultFontName(), font->text());

    QTest::mouseClick(form.resetButton(), Qt::LeftButton);
    EXPECT_EQ(form.fontSize(), 12);
    EXPECT_EQ(sample.defaultFontSize(), 12);
    EXPECT_TRUE(waitFor([&] { return computedFontSize(sample) == QStringLiteral("16px"); }));
    EXPECT_EQ(form.backgroundColor(), QColor(255, 255, 255));
    EXPECT_EQ(sample.defaultFontColor(), QColor(0, 0, 0));
    EXPECT_EQ(form.fontName(), QStringLiteral("Times New Roman"));
}

TEST(BrowserSettingsDialogTest, FontNamesSelectInstalledFontsAndKeepOthers)
{
    viewer::BrowserSettingsDialog form;
    const QString installed = form.fontList()->item(0)->text();
    form.setFontName(installed);
    EXPECT_EQ(form.fontList()->currentItem()->text(), installed);
    EXPECT_EQ(form.fontName(), installed);

    // Not installed here: nothing selected, and the name is kept so that "O&K" changes nothing.
    form.setFontName(QStringLiteral("No Such Font"));
    EXPECT_TRUE(form.fontList()->selectedItems().isEmpty());
    EXPECT_EQ(form.fontName(), QStringLiteral("No Such Font"));
    EXPECT_EQ(form.sampleView()->defaultFontName(), QStringLiteral("No Such Font"));
}

TEST(BrowserSettingsDialogTest, TheFontListNamesEachFamilyOnceAsTheEngineKnowsIt)
{
    // Liberation Serif from two foundries: the platform lists "Liberation Serif [...]" twice.
    const int id = addSecondFoundryOf(liberationSerifFile());
    ASSERT_GE(id, 0);
    viewer::BrowserSettingsDialog form;
    QFontDatabase::removeApplicationFont(id);
    QStringList names;
    for (int i = 0; i < form.fontList()->count(); ++i)
        names.append(form.fontList()->item(i)->text());
    EXPECT_EQ(names.count(QStringLiteral("Liberation Serif")), 1)
        << names.join(QLatin1Char(',')).toStdString();
    for (const QString &name : names)
        EXPECT_FALSE(name.endsWith(QLatin1Char(']'))) << name.toStdString();
    EXPECT_EQ(names.removeDuplicates(), 0);

    // Choosing it changes the sample.
    engine::HtmlView &sample = *form.sampleView();
    form.show();
    const auto choose = [&](const QString &family) {
        QListWidgetItem *item = form.fontList()->findItems(family, Qt::MatchExactly).value(0);
        ASSERT_TRUE(item) << family.toStdString();
        QTest::mouseClick(form.fontList()->viewport(), Qt::LeftButton, Qt::NoModifier,
            form.fontList()->visualItemRect(item).center());
        EXPECT_EQ(form.fontName(), family);
    };
    choose(QStringLiteral("DejaVu Sans"));
    spin(200);
    sample.waitForFrame();
    const QImage sans = sample.capture();
    choose(QStringLiteral("Liberation Serif"));
    EXPECT_TRUE(waitFor([&] {
        sample.waitForFrame(200);
        return sample.capture() != sans;
    }));
}

// Runs the modal dialog on the view; `act` plays the user.
bool runDialog(
    engine::HtmlView &view, const std::function<void(viewer::BrowserSettingsDialog &)> &act)
{
    // The dialog loads its sample before it shows: act once it is up.
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *form
            = qobject_cast<viewer::BrowserSettingsDialog *>(QApplication::activeModalWidget());
        if (!form || !form->isVisible())
            return;
        poll.stop();
        act(*form);
    });
    poll.start();
    return viewer::BrowserSettingsDialog::editBrowserSettings(&view);
}

TEST(BrowserSettingsDialogTest, OkAppliesAllValuesAndCancelChangesNothing)
{
    engine::HtmlView browser;
    browser.setFollowDisk(true);
    engine::DisplaySettings start;
    start.fontName = QStringLiteral("No Such Font");
    start.fontSize = 14;
    start.fontColor = QColor(10, 20, 30);
    start.linkColor = QColor(40, 50, 60);
    start.backgroundColor = QColor(70, 80, 90);
    start.showImages = false;
    browser.setDisplaySettings(start);

    viewer::BrowserSettingsDialog::Values seen;
    auto change = [&](viewer::BrowserSettingsDialog &form) {
        seen = { form.fontName(), form.fontSize(), form.fontColor(), form.linkColor(),
            form.backgroundColor(), form.showImages(), form.followDisk() };
        form.setFontName(form.fontList()->item(0)->text());
        form.fontSizeEdit()->setValue(20);
        form.fontColorPicker()->setColor(QColor(1, 2, 3));
        form.linkColorPicker()->setColor(QColor(4, 5, 6));
        form.backgroundPicker()->setColor(QColor(7, 8, 9));
        form.setShowImages(true);
        form.setFollowDisk(false);
    };

    EXPECT_FALSE(runDialog(browser, [&](viewer::BrowserSettingsDialog &form) {
        change(form);
        form.reject();
    }));
    EXPECT_EQ(browser.displaySettings(), start);
    EXPECT_EQ(seen.fontName, start.fontName);
    EXPECT_EQ(seen.fontSize, 14);
    EXPECT_EQ(seen.fontColor, start.fontColor);
    EXPECT_EQ(seen.linkColor, start.linkColor);
    EXPECT_EQ(seen.backgroundColor, start.backgroundColor);
    EXPECT_FALSE(seen.showImages);
    EXPECT_TRUE(seen.followDisk);
    EXPECT_TRUE(browser.followsDisk());

    QString firstFont;
    EXPECT_TRUE(runDialog(browser, [&](viewer::BrowserSettingsDialog &form) {
        change(form);
        firstFont = form.fontName();
        form.accept();
    }));
    const engine::DisplaySettings now = browser.displaySettings();
    EXPECT_EQ(now.fontName, firstFont);
    EXPECT_EQ(now.fontSize, 20);
    EXPECT_EQ(now.fontColor, QColor(1, 2, 3));
    EXPECT_EQ(now.linkColor, QColor(4, 5, 6));
    EXPECT_EQ(now.backgroundColor, QColor(7, 8, 9));
    EXPECT_TRUE(now.showImages);
    EXPECT_FALSE(browser.followsDisk());
    EXPECT_EQ(now.fixedFontName, start.fixedFontName);
}

} // namespace
