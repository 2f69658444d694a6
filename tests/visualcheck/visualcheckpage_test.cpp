// The Visual Check page alone on the stand-in frame, with the real engine.
#include "visualcheck/looklistmodel.h"
#include "visualcheck/lookpictures.h"
#include "visualcheck/visualcheckpage.h"

#include "support/standinframe.h"
#include "support/tempdir.h"
#include "support/widgetbyname.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

#include <gtest/gtest.h>

using visualcheck::LookKind;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(VisualCheckPageTest, BaselineCompareAFollowedSaveAndAccept)
{
    TemporaryDir program;
    TemporaryDir site;
    StandInFrame frame(QDir::toNativeSeparators(program.path()) + QDir::separator());
    visualcheck::VisualCheckPage page(frame);
    frame.page = &page;
    frame.folder = QDir::toNativeSeparators(site.path()) + QDir::separator();
    const QString a = site.filePath(QStringLiteral("a.htm"));
    const QString b = site.filePath(QStringLiteral("sub/b.html"));
    writeFile(a, "<body style='margin:0'><div style='height:40px;background:#00f'></div>");
    writeFile(b, "<p>unchanged");
    page.start();
    page.show();

    widget<QPushButton>(&page, "BTakeBaseline")->click();
    visualcheck::LookListModel *model = page.model();
    ASSERT_EQ(model->rowCount(), 4) << "two pages at two widths";
    EXPECT_EQ(model->entry(0).kind, LookKind::Stored);
    EXPECT_EQ(frame.requests.filter(QStringLiteral("main")),
        (QStringList { QStringLiteral("mainDisabled"), QStringLiteral("mainEnabled") }));

    writeFile(a, "<body style='margin:0'><div style='height:40px;background:#f00'></div>");
    widget<QPushButton>(&page, "BCompare")->click();
    ASSERT_EQ(model->rowCount(), 4);
    // Most changed first: a at both widths, then b.
    EXPECT_EQ(model->entry(0).kind, LookKind::Changed);
    EXPECT_EQ(model->entry(0).page, a);
    EXPECT_EQ(model->entry(2).kind, LookKind::Same);
    EXPECT_EQ(model->changedCount(), 2);
    EXPECT_TRUE(widget<QLabel>(&page, "PanelVisualTop")->text().startsWith(QStringLiteral("2 of 4 entries")));
    EXPECT_EQ(page.currentFile(), QDir::toNativeSeparators(a));
    EXPECT_FALSE(page.pictures()->shownPicture().isNull()) << "the difference of the first entry";

    // A save in the editor brings b's entries up to date at once.
    writeFile(b, "<p>changed <b>now</b>");
    frame.saveInEditor(QDir::toNativeSeparators(b));
    EXPECT_EQ(model->changedCount(), 4);

    auto *list = widget<QTreeView>(&page, "ELVVisualCheck");
    list->selectAll();
    EXPECT_EQ(page.selectionCounts().selected, 4);
    widget<QPushButton>(&page, "BAccept")->click();
    EXPECT_EQ(model->changedCount(), 0);
    widget<QPushButton>(&page, "BCompare")->click();
    EXPECT_EQ(model->changedCount(), 0) << "the accepted renders are the baselines now";
}
