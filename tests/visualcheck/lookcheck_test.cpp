#include "visualcheck/lookcheck.h"
#include "visualcheck/lookreport.h"

#include "support/tempdir.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using visualcheck::LookKind;
using visualcheck::LookResult;

namespace {

// Blocks at known places on a page 1,600 pixels high: a fixed header, an animated badge,
// a transformed box, a picture, an iframe, and text.
const char kPage[] = R"(<!DOCTYPE html><html><head><style>
body { margin: 0; font: 16px serif; }
header { position: fixed; top: 0; left: 0; right: 0; height: 40px; background: #223; }
.at { position: absolute; }
#block { left: 20px; top: 100px; width: 200px; height: 80px; background: #36c; }
#word { left: 20px; top: 220px; }
#picture { left: 300px; top: 100px; width: 64px; height: 64px; }
#para { left: 20px; top: 300px; width: 400px; font-size: 16px; }
#framed { left: 500px; top: 300px; width: 200px; height: 100px; border: 0; }
#boxed { left: 20px; top: 500px; width: 100px; height: 50px; background: #eee; }
#turn { left: 300px; top: 500px; width: 40px; height: 40px; background: #c33; transform: rotate(12deg);
        animation: spin 1s linear infinite; }
@keyframes spin { to { transform: rotate(372deg); } }
#deep { left: 20px; top: 1400px; width: 300px; height: 30px; background: #9c9; }
#end { left: 0; top: 1590px; width: 10px; height: 10px; }
</style></head><body><header></header>
<div id="block" class="at"></div>
<div id="word" class="at">one <span id="coloured">word</span> here</div>
<img id="picture" class="at" src="pic.png">
<p id="para" class="at">A paragraph of text that runs over two lines at this width, so that a change of its size shows.</p>
<iframe id="framed" class="at" src="inner.htm"></iframe>
<div id="boxed" class="at"></div><div id="turn" class="at"></div>
<div id="deep" class="at"></div><div id="end" class="at"></div>
</body></html>)";

class LookCheckTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QImage picture(64, 64, QImage::Format_RGB32);
        picture.fill(QColor(250, 180, 0));
        ASSERT_TRUE(picture.save(site.filePath(QStringLiteral("pic.png"))));
        write(QStringLiteral("inner.htm"), "<body style='margin:0;background:#9cf'>framed</body>");
        page = write(QStringLiteral("page.htm"), kPage);
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = site.filePath(name);
        EXPECT_TRUE(putFile(path, bytes));
        return path;
    }

    QList<LookResult> run(bool update)
    {
        visualcheck::LookSettings settings;
        settings.widths = { 800 };
        visualcheck::LookCheck check(looks.path() + QStringLiteral("/LOOKS/"), settings);
        check.setKeepPictures(true);
        QList<LookResult> results;
        check.run({ page }, update, [&](const LookResult &result) { results << result; });
        return results;
    }

    QTemporaryDir site;
    TemporaryDir looks;
    QString page;
};

} // namespace

TEST_F(LookCheckTest, AnUnchangedPageStaysTheSameRoundAfterRound)
{
    ASSERT_EQ(run(true).value(0).kind, LookKind::Stored);
    for (int round = 0; round < 3; ++round) {
        const LookResult result = run(false).value(0);
        EXPECT_EQ(result.kind, LookKind::Same) << visualcheck::lookLine(result).toStdString();
        EXPECT_EQ(result.pageHeight, 1600);
    }
}

TEST_F(LookCheckTest, EveryEditIsFoundWhereItWasMade)
{
    struct Edit {
        const char *what;
        const char *from;
        const char *to;
        QRect where; // a part of the page the edit changed
    };
    const QList<Edit> edits = {
        { "a block one pixel lower", "top: 100px; width: 200px", "top: 101px; width: 200px", QRect(20, 100, 200, 1) },
        { "one word's colour", "<span id=\"coloured\">", "<span id=\"coloured\" style=\"color:#c00\">", QRect(50, 225, 10, 8) },
        { "a picture removed", "<img id=\"picture\" class=\"at\" src=\"pic.png\">", "", QRect(300, 100, 64, 64) },
        { "a paragraph's font size", "font-size: 16px; }", "font-size: 17px; }", QRect(20, 320, 100, 10) },
        { "a border added", "background: #eee; }", "background: #eee; border: 1px solid #000; }", QRect(20, 500, 100, 1) },
        { "below the first screen only", "background: #9c9", "background: #c66", QRect(20, 1400, 300, 30) },
        { "a line at the end of the page", "top: 1590px", "top: 1690px", QRect(0, 1600, 10, 100) },
    };
    ASSERT_EQ(run(true).value(0).kind, LookKind::Stored);
    for (const Edit &edit : edits) {
        write(QStringLiteral("page.htm"), QByteArray(kPage).replace(edit.from, edit.to));
        const LookResult result = run(false).value(0);
        EXPECT_EQ(result.kind, LookKind::Changed) << edit.what;
        bool covered = false;
        for (const QRect &region : result.diff.regions)
            covered = covered || region.intersects(edit.where);
        EXPECT_TRUE(covered) << edit.what << ": " << visualcheck::lookLine(result).toStdString();
    }
    EXPECT_TRUE(visualcheck::lookLine(run(false).value(0)).contains(QStringLiteral("height 1600 -> 1700, changed")));
}

TEST_F(LookCheckTest, DamagedOrForeignBaselinesAreNamedAndAnUpdateReplacesThem)
{
    ASSERT_EQ(run(false).value(0).kind, LookKind::New);
    ASSERT_EQ(run(true).value(0).kind, LookKind::Stored);
    const QString baseline = QDir(looks.path()).filePath(QStringLiteral("LOOKS/") + QDir::separator())
        + QDir(site.path()).absolutePath().replace(QLatin1Char('/'), QLatin1Char('=')) + QStringLiteral("/page.htm.800.png");
    ASSERT_TRUE(QFile::exists(baseline)) << baseline.toStdString();

    QFile::resize(baseline, 100);
    LookResult damaged = run(false).value(0);
    EXPECT_EQ(damaged.kind, LookKind::Failed);
    EXPECT_TRUE(damaged.problem.contains(QStringLiteral("damaged baseline"))) << damaged.problem.toStdString();

    QImage(640, 900, QImage::Format_RGB32).save(baseline);
    EXPECT_TRUE(run(false).value(0).problem.contains(QStringLiteral("is 640 pixels wide")));
    EXPECT_EQ(run(true).value(0).kind, LookKind::Stored);
    EXPECT_EQ(run(false).value(0).kind, LookKind::Same);

    visualcheck::LookTotals totals;
    totals.add(damaged);
    EXPECT_FALSE(totals.clean());
    EXPECT_EQ(totals.text(), QStringLiteral("1 render: 0 same, 0 changed, 0 new, 1 failed"));
}
