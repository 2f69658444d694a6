#include "app/helpwindow.h"
#include "app/mainwindow.h"
#include "engine/htmlview.h"
#include "support/helppictures.h"
#include "support/testfiles.h"
#include "viewer/viewerwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

QStringList attributeValues(const QString &html, const QString &names)
{
    static const QString pattern = QStringLiteral("\\b(?:%1)\\s*=\\s*\"([^\"]*)\"");
    const QRegularExpression attribute(
        pattern.arg(names), QRegularExpression::CaseInsensitiveOption);
    QStringList values;
    for (const QRegularExpressionMatch &match : attribute.globalMatch(html))
        values.append(match.captured(1));
    return values;
}

// What is wrong with one reference of a page: it must name a file of the help folder, and
// an anchor that the page it names holds. The help window has no network and no scripts.
QString referenceProblem(const QDir &help, const QString &page, const QString &reference)
{
    if (!QUrl(reference).scheme().isEmpty() || QDir::isAbsolutePath(reference))
        return QStringLiteral("outside the help pages");
    const QString path = reference.section(QLatin1Char('#'), 0, 0);
    const QString anchor = reference.section(QLatin1Char('#'), 1);
    const QString target
        = path.isEmpty() ? page : QDir::cleanPath(QFileInfo(page).dir().filePath(path));
    if (help.relativeFilePath(target).startsWith(QLatin1String("..")))
        return QStringLiteral("outside the help pages");
    if (!QFileInfo(target).isFile())
        return QStringLiteral("no such file");
    if (!anchor.isEmpty()
        && !attributeValues(QString::fromUtf8(fileBytes(target)), QStringLiteral("id|name"))
                .contains(anchor))
        return QStringLiteral("no such anchor");
    return {};
}

QStringList pageProblems(const QDir &help, const QString &page)
{
    const QString html = QString::fromUtf8(fileBytes(page));
    QStringList problems;
    if (html.contains(QLatin1String("<script"), Qt::CaseInsensitive))
        problems.append(page + QStringLiteral(": a script"));
    for (const QString &reference : attributeValues(html, QStringLiteral("href|src"))) {
        const QString problem = referenceProblem(help, page, reference);
        if (!problem.isEmpty())
            problems.append(
                page + QStringLiteral(": ") + reference + QStringLiteral(": ") + problem);
    }
    return problems;
}

QStringList pagesIn(const QDir &help)
{
    QStringList pages;
    QDirIterator it(
        help.path(), { QStringLiteral("*.htm") }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        pages.append(it.next());
    pages.sort();
    return pages;
}

QStringList helpProblems(const QDir &help)
{
    QStringList problems;
    for (const QString &page : pagesIn(help))
        problems += pageProblems(help, page);
    return problems;
}

const QDir kHelp(QStringLiteral(FOLIOSCOPE_HELP_DIR));

TEST(HelpPages, EveryLinkAndPictureResolves)
{
    ASSERT_TRUE(QFileInfo(kHelp.filePath(QStringLiteral("index.htm"))).isFile());
    EXPECT_GE(pagesIn(kHelp).size(), 12);
    EXPECT_EQ(helpProblems(kHelp), QStringList());
}

// The check itself must see each kind of fault, or the test above would pass on anything.
TEST(HelpPages, CheckFindsEachKindOfFault)
{
    struct Row {
        const char *name;
        const char *body;
        const char *problem; // empty: none
    };
    const Row rows[] = {
        { "good link and anchor", "<a href=\"other.htm#here\">x</a>", "" },
        { "anchor on the same page", "<h2 id=\"top\">x</h2><a href=\"#top\">x</a>", "" },
        { "missing page", "<a href=\"gone.htm\">x</a>", "no such file" },
        { "missing picture", "<img src=\"images/gone.png\">", "no such file" },
        { "missing anchor", "<a href=\"other.htm#nowhere\">x</a>", "no such anchor" },
        { "web address", "<a href=\"https://example.org/\">x</a>", "outside the help pages" },
        { "absolute path", "<img src=\"/usr/share/x.png\">", "outside the help pages" },
        { "up and out", "<a href=\"../prg.ini\">x</a>", "outside the help pages" },
        { "script", "<script>x()</script>", "a script" },
    };
    for (const Row &row : rows) {
        QTemporaryDir dir;
        QFile other(dir.filePath(QStringLiteral("other.htm")));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write("<p id=\"here\">x</p>");
        other.close();
        QFile page(dir.filePath(QStringLiteral("page.htm")));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write(row.body);
        page.close();
        const QStringList problems = helpProblems(QDir(dir.path()));
        if (*row.problem == '\0') {
            EXPECT_EQ(problems, QStringList()) << row.name;
        } else {
            ASSERT_EQ(problems.size(), 1) << row.name;
            EXPECT_TRUE(problems.first().endsWith(QString::fromLatin1(row.problem)))
                << row.name << ": " << problems.first().toStdString();
        }
    }
}

// A page that no link leads to cannot be found in the help window.
TEST(HelpPages, EveryPageCanBeReachedFromTheStartPage)
{
    QStringList reached { kHelp.filePath(QStringLiteral("index.htm")) };
    for (int i = 0; i < reached.size(); ++i) {
        for (const QString &reference :
            attributeValues(QString::fromUtf8(fileBytes(reached[i])), QStringLiteral("href"))) {
            const QString path = reference.section(QLatin1Char('#'), 0, 0);
            const QString target = QDir::cleanPath(QFileInfo(reached[i]).dir().filePath(path));
            if (path.endsWith(QLatin1String(".htm")) && !reached.contains(target))
                reached.append(target);
        }
    }
    QStringList unreached;
    for (const QString &page : pagesIn(kHelp))
        if (!reached.contains(page))
            unreached.append(page);
    EXPECT_EQ(unreached, QStringList());
}

// What is wrong with the recorded help pictures of `images`: a picture the screenshot program
// did not make (or made otherwise), and a picture whose window shows other tabs than the
// program's window of that class has now.
QStringList pictureProblems(const QString &images, const QList<HelpPicture> &recorded,
    const QMap<QString, const QWidget *> &windows)
{
    QStringList problems;
    QStringList unrecorded
        = QDir(images).entryList({ QStringLiteral("*.png") }, QDir::Files, QDir::Name);
    for (const HelpPicture &picture : recorded) {
        unrecorded.removeAll(picture.file);
        if (helpPictureHash(images + u'/' + picture.file) != picture.sha256)
            problems.append(picture.file + QStringLiteral(": not the picture recorded"));
        if (picture.tabs.isEmpty())
            continue;
        const QWidget *window = windows.value(picture.window);
        if (!window) {
            problems.append(picture.file + QStringLiteral(": no window ") + picture.window);
            continue;
        }
        const QMap<QString, QStringList> now = helpTabsShown(window);
        for (auto it = picture.tabs.cbegin(); it != picture.tabs.cend(); ++it)
            if (now.value(it.key()) != it.value())
                problems.append(picture.file + QStringLiteral(": shows the tabs ")
                    + it.value().join(u'|') + QStringLiteral(", the program has ")
                    + now.value(it.key()).join(u'|'));
    }
    for (const QString &file : unrecorded)
        problems.append(file + QStringLiteral(": not made by the screenshot program"));
    return problems;
}

// The windows whose pictures show tabs, as the program builds them.
struct ProgramWindows {
    QMap<QString, const QWidget *> byClass() const
    {
        return { { QString::fromLatin1(form.metaObject()->className()), &form },
            { QString::fromLatin1(viewer.metaObject()->className()), &viewer } };
    }

    QTemporaryDir program;
    app::MainWindow form { program.path(), {} };
    viewer::ViewerWindow viewer { &form };
};

// A picture of a window with fewer tabs than the program has now is out of date; the pictures
// are remade with scripts/help-screenshots, which records what each shows.
TEST(HelpPictures, ShowTheTabsOfTheProgramsWindows)
{
    const QString images = kHelp.filePath(QStringLiteral("images"));
    QString error;
    const QList<HelpPicture> recorded
        = readHelpPictures(images + QStringLiteral("/pictures.txt"), &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    const ProgramWindows windows;
    EXPECT_EQ(pictureProblems(images, recorded, windows.byClass()), QStringList())
        << "remake them with scripts/help-screenshots";
}

// The check itself must see each kind of fault, or the test above would pass on anything.
TEST(HelpPictures, CheckFindsEachKindOfFault)
{
    const ProgramWindows windows;
    HelpPicture current = helpPictureOf(QStringLiteral("shot.png"), &windows.form);
    current.sha256 = QCryptographicHash::hash("png", QCryptographicHash::Sha256).toHex();
    ASSERT_EQ(current.tabs.value(QStringLiteral("PageControl1")).size(), 5);
    HelpPicture fewerTabs = current;
    fewerTabs.tabs[QStringLiteral("PageControl1")].removeLast();
    HelpPicture otherWindow = current;
    otherWindow.window = QStringLiteral("app::GoneWindow");
    HelpPicture noTabs = current;
    noTabs.tabs.clear();
    noTabs.window = QStringLiteral("app::GoneWindow");
    struct Row {
        const char *name;
        QList<HelpPicture> recorded;
        QByteArray bytes; // of shot.png on disk
        const char *problem; // empty: none
    };
    const Row rows[] = {
        { "as recorded", { current }, "png", "" },
        { "a tab fewer than the program", { fewerTabs }, "png",
            "shows the tabs Folder View|Thumbnail View|File Lists|Site Check, the program has" },
        { "a window the program lacks", { otherWindow }, "png", "no window app::GoneWindow" },
        { "no tabs: any window", { noTabs }, "png", "" },
        { "other bytes", { current }, "changed", "not the picture recorded" },
        { "not recorded", {}, "png", "not made by the screenshot program" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        QFile shot(dir.filePath(QStringLiteral("shot.png")));
        ASSERT_TRUE(shot.open(QIODevice::WriteOnly));
        shot.write(row.bytes);
        shot.close();
        const QStringList problems
            = pictureProblems(dir.path(), row.recorded, windows.byClass());
        if (*row.problem == '\0') {
            EXPECT_EQ(problems, QStringList());
        } else {
            ASSERT_EQ(problems.size(), 1) << problems.join(u'|').toStdString();
            EXPECT_TRUE(problems.first().contains(QString::fromLatin1(row.problem)))
                << problems.first().toStdString();
        }
    }
}

bool waitFor(const std::function<bool()> &done, int ms = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QTest::qWait(20);
    return done();
}

// The help window as "Show Help" opens it: HELP/index.htm beside the program, where the build
// copies the data files.
class HelpWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        window = new app::HelpWindow(
            QCoreApplication::applicationDirPath() + QStringLiteral("/HELP/index.htm"));
    }
    void TearDown() override { delete window.data(); }

    QVariant script(const char *code)
    {
        return window->view()->evaluateJavaScript(QString::fromLatin1(code));
    }
    // Every picture decoded and the style sheet applied.
    void expectComplete(const QString &page)
    {
        EXPECT_EQ(
            script("Array.from(document.images).filter(i => !i.complete || i.naturalWidth == 0)"
                   ".map(i => i.src).join(' ')")
                .toString(),
            QString())
            << page.toStdString();
        EXPECT_EQ(script("getComputedStyle(document.querySelector('div.nav')).backgroundColor")
                      .toString(),
            QStringLiteral("rgb(128, 128, 0)"))
            << page.toStdString();
    }

    QPointer<app::HelpWindow> window;
};

TEST_F(HelpWindowTest, ShowsTheStartPageWithItsPictures)
{
    EXPECT_TRUE(window->view()->currentFile().endsWith(QStringLiteral("HELP/index.htm")));
    EXPECT_EQ(script("document.title").toString(), QStringLiteral("Folioscope Help"));
    EXPECT_GE(script("document.images.length").toInt(), 1);
    expectComplete(QStringLiteral("index.htm"));
}

TEST_F(HelpWindowTest, FollowsTheLinksOfTheContents)
{
    const QStringList pages = script("Array.from(document.querySelectorAll('ul.toc a'))"
                                     ".map(a => a.getAttribute('href')).join(' ')")
                                  .toString()
                                  .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 11);
    for (const QString &page : pages) {
        const QString index = window->view()->currentFile();
        window->view()->evaluateJavaScript(
            QStringLiteral("document.querySelector('ul.toc a[href=\"%1\"]').click()").arg(page));
        ASSERT_TRUE(waitFor([&] { return window->view()->currentFile().endsWith(page); }))
            << page.toStdString();
        waitFor([&] { return !window->view()->isProcessing(); });
        expectComplete(page);
        window->view()->goBack();
        ASSERT_TRUE(waitFor([&] { return window->view()->currentFile() == index; }));
        waitFor([&] { return !window->view()->isProcessing(); });
    }
}

} // namespace
