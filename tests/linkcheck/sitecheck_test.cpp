#include "sitefiles.h"

#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cstdio>

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString fixtureSite()
{
    return qEnvironmentVariable("FOLIOSCOPE_TEST_DATA") + QStringLiteral("/site");
}

QByteArray golden(const char *name)
{
    QFile file(
        qEnvironmentVariable("FOLIOSCOPE_TEST_DATA") + QStringLiteral("/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

} // namespace

TEST(SiteCheck, FixtureSiteMatchesTheGoldenReports)
{
    const QString site = fixtureSite();
    linkcheck::SiteCheck check({});
    ASSERT_TRUE(check.check({ site }));
    const std::vector<linkcheck::BrokenLink> report = check.report();
    const QString gnu = gnuLines(report, site).join(u'\n') + QLatin1Char('\n');
    EXPECT_EQ(gnu.toUtf8(), golden("golden.txt"));
    EXPECT_EQ(linkcheck::jsonReport(report).replace(QByteArray(site.toUtf8() + '/'), QByteArray()),
        golden("golden.json"));
    const linkcheck::CheckTotals totals = check.totals();
    EXPECT_EQ(totals.pages, 4);
    EXPECT_EQ(totals.external, 2);
    EXPECT_EQ(totals.broken, qint64(report.size()));
    // The pages and style sheets to follow on disk, the hidden page only linked.
    EXPECT_EQ(check.files().size(), 6);
    EXPECT_FALSE(check.files().join(u' ').contains(u".hidden"));
}

TEST(SiteCheck, BadInputEndsInAClearReport)
{
    const PermissionsHeld permissions; // root as well as any user
    struct Row {
        const char *what;
        std::function<void(const QString &site)> make;
        QStringList expected; // lines of the report
    };
    const Row rows[] = {
        { "unreadable page",
            [&](const QString &site) {
                writeFile(site + QStringLiteral("/locked.html"), "<a href=\"x.html\">");
                ::chmod(QFile::encodeName(site + QStringLiteral("/locked.html")).constData(), 0);
            },
            { QStringLiteral("locked.html:1:1: cannot read: Permission denied") } },
        { "unreadable folder",
            [&](const QString &site) {
                writeFile(site + QStringLiteral("/closed/a.html"), "<a href=\"x.html\">");
                ::chmod(QFile::encodeName(site + QStringLiteral("/closed")).constData(), 0);
            },
            { QStringLiteral("closed:1:1: cannot read: Permission denied") } },
        { "link into an unreadable folder",
            [&](const QString &site) {
                writeFile(site + QStringLiteral("/index.html"),
                    "<a href=\"closed/a.html\"><a href=\"closed/\">");
                writeFile(site + QStringLiteral("/closed/a.html"));
                ::chmod(QFile::encodeName(site + QStringLiteral("/closed")).constData(), 0);
            },
            { QStringLiteral("closed:1:1: cannot read: Permission denied"),
                QStringLiteral("index.html:1:10: broken link \"closed/a.html\": cannot read"),
                QStringLiteral("index.html:1:34: broken link \"closed/\": cannot read") } },
        { "binary file named .htm",
            [](const QString &site) {
                QByteArray bytes;
                for (int i = 0; i < 70000; ++i)
                    bytes += char((i * 7919) % 256);
                writeFile(site + QStringLiteral("/binary.htm"), bytes + "<img src=\"x.png\">");
            },
            { QStringLiteral("binary.htm:") } },
        { "10 MB page on one line",
            [](const QString &site) {
                writeFile(site + QStringLiteral("/long.html"),
                    QByteArray(10 << 20, 'w') + "<a href=\"x.html\">");
            },
            { QStringLiteral("long.html:1:10485770: broken link \"x.html\": no such file") } },
        { "page too large to be read",
            [](const QString &site) {
                QFile file(site + QStringLiteral("/huge.html"));
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.resize(qint64(40) << 20); // sparse: no time or disk spent
            },
            { QStringLiteral("huge.html:1:1: cannot read: File too large") } },
        { "100,000-character link",
            [](const QString &site) {
                writeFile(site + QStringLiteral("/index.html"),
                    "<a href=\"" + QByteArray(100000, 'a') + "\">");
            },
            { QStringLiteral("index.html:1:10: broken link \"aaaa") } },
        { "symbolic-link loops",
            [](const QString &site) {
                // Through a folder link as often as the system allows, and far more often.
                writeFile(site + QStringLiteral("/index.html"),
                    "<a href=\"loop.html\"><a href=\"up/up/up/index.html\">\n<a href=\""
                        + QByteArray("up/").repeated(40) + "index.html\">\n<a href=\""
                        + QByteArray("up/").repeated(30000) + "index.html\">");
                QFile::link(QStringLiteral("loop2.html"), site + QStringLiteral("/loop.html"));
                QFile::link(QStringLiteral("loop.html"), site + QStringLiteral("/loop2.html"));
                QFile::link(QStringLiteral("."), site + QStringLiteral("/up"));
            },
            { QStringLiteral("index.html:1:10: broken link \"loop.html\": no such file"),
                QStringLiteral("index.html:3:10: broken link \"up/up/") } },
        { "a page linked from outside the site",
            [](const QString &site) {
                // Its path is in the site: it is a page of the site, read where it lies.
                writeFile(site + QStringLiteral("/../secret.html"), "<a href=\"x.html\">");
                writeFile(site + QStringLiteral("/index.html"), "<a href=\"out.html\">");
                QFile::link(
                    site + QStringLiteral("/../secret.html"), site + QStringLiteral("/out.html"));
            },
            { QStringLiteral("out.html:1:10: broken link \"x.html\": no such file") } },
        { "control characters in links and names",
            [](const QString &site) {
                writeFile(site + QStringLiteral("/index.html"),
                    "<a href=\"x.html&#10;/forged.html:9:9: broken link &quot;z&quot;\">"
                    "<a href=\"a&#1;b.html\">");
                writeFile(site + QStringLiteral("/we\nird\t\u0085.html"), "<img src=\"gone.png\">");
            },
            { QStringLiteral(
                  "index.html:1:10: broken link \"x.html\\n/forged.html:9:9: broken link "
                  "\"z\"\": no such file"),
                QStringLiteral("index.html:1:75: broken link \"a\\x01b.html\": no such file"),
                QStringLiteral(
                    "we\\nird\\t\\x85.html:1:11: broken link \"gone.png\": no such file") } },
        { "name that is not UTF-8",
            [](const QString &site) {
                const QByteArray name = QFile::encodeName(site) + "/caf\xE9.html";
                FILE *raw = std::fopen(name.constData(), "w");
                ASSERT_TRUE(raw);
                std::fputs("<a href=\"caf%E9.html\"><a href=\"x.html\">", raw);
                std::fclose(raw);
            },
            { QStringLiteral("caf\u00e9.html:1:32: broken link \"x.html\": no such file") } },
        { "NUL bytes",
            [](const QString &site) {
                writeFile(site + QStringLiteral("/index.html"),
                    QByteArray("<p>\0</p><a href=\"b\0.html\">", 26));
            },
            { QStringLiteral("index.html:1:18: broken link \"b\uFFFD.html\": no such file") } },
        { "FIFO named like a page",
            [](const QString &site) {
                writeFile(site + QStringLiteral("/index.html"), "<a href=\"pipe.html\">");
                ::mkfifo(QFile::encodeName(site + QStringLiteral("/pipe.html")).constData(), 0600);
            },
            { QStringLiteral("index.html:1:10: broken link \"pipe.html\": no such file") } },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        TemporaryDir dir;
        const QString site = dir.filePath(QStringLiteral("site"));
        QDir().mkpath(site);
        row.make(site);
        const QStringList lines = checkFolder(site);
        ASSERT_EQ(lines.size(), row.expected.size()) << lines.join(u'\n').left(300).toStdString();
        for (qsizetype i = 0; i < lines.size(); ++i)
            EXPECT_TRUE(lines.at(i).startsWith(row.expected.at(i)))
                << lines.at(i).left(300).toStdString();
        ::chmod(QFile::encodeName(site + QStringLiteral("/closed")).constData(), 0700);
    }
}

#if defined(__SANITIZE_ADDRESS__)
#define FS_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FS_ADDRESS_SANITIZER 1
#endif
#endif

namespace {

const char *const kLimitedSite = "FOLIOSCOPE_TEST_LIMITED_SITE";

// In a fresh run of this program, whose memory no earlier test has left free: the check of
// `site` with the address space it holds and a little more, its report written beside it.
[[noreturn]] void checkWithLittleMemory(const QString &site)
{
    // The big page must come from new address space, which the limit denies.
    ::mallopt(M_MMAP_THRESHOLD, 1 << 20);
    long pages = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    const rlim_t room = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + (rlim_t(16) << 20);
    const rlimit limit { room, room };
    int code = 3;
    if (::setrlimit(RLIMIT_AS, &limit) == 0) {
        try {
            linkcheck::CheckOptions options;
            options.threads = 1;
            linkcheck::SiteCheck check(options);
            check.check({ site });
            const QByteArray text = gnuLines(check.report(), site).join(u'\n').toUtf8();
            FILE *report
                = std::fopen(QFile::encodeName(site + QStringLiteral(".txt")).constData(), "w");
            code = report
                    && std::fwrite(text.constData(), 1, size_t(text.size()), report)
                        == size_t(text.size())
                ? 0
                : 1;
            if (report)
                std::fclose(report);
        } catch (...) {
            code = 2;
        }
    }
    ::_exit(code);
}

} // namespace

TEST(SiteCheck, MemoryRunningOutForAPageIsThatPagesReport)
{
    if (qEnvironmentVariableIsSet(kLimitedSite))
        checkWithLittleMemory(qEnvironmentVariable(kLimitedSite));
#ifdef FS_ADDRESS_SANITIZER
    GTEST_SKIP() << "the address sanitizer takes more address space than a limit leaves";
#endif
    TemporaryDir dir;
    const QString site = dir.filePath(QStringLiteral("site"));
    writeFile(site + QStringLiteral("/big.html"),
        QByteArray(30 << 20, 'x') + "<a href=\"gone.html\">"); // within the size allowed
    writeFile(site + QStringLiteral("/small.html"), "<a href=\"nowhere.html\">");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setenv(kLimitedSite, QFile::encodeName(site).constData(), 1);
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, 1);
        ::dup2(quiet, 2);
        ::execl("/proc/self/exe", "linkcheck_tests",
            "--gtest_filter=SiteCheck.MemoryRunningOutForAPageIsThatPagesReport", nullptr);
        ::_exit(127);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    QFile report(site + QStringLiteral(".txt"));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(report.readAll()),
        QStringLiteral("big.html:1:1: cannot read: not enough memory\n"
                       "small.html:1:10: broken link \"nowhere.html\": no such file"));
}

namespace {

// A small site of pages linking each other, pictures and style sheets, with names that come,
// go, move and change case.
class RandomSite
{
public:
    explicit RandomSite(const QString &folder)
        : m_folder(folder)
    { }

    QString page(int n) const
    {
        return QStringLiteral("%1/p%2.html")
            .arg(n % 3 == 0 ? QStringLiteral("a") : QStringLiteral("b"))
            .arg(n);
    }

    QString path(const QString &name) const { return m_folder + QLatin1Char('/') + name; }

    QByteArray link()
    {
        const int n = int(m_random.bounded(kPages));
        QString target = QStringLiteral("../") + page(n);
        switch (m_random.bounded(8)) {
        case 0:
            target += QStringLiteral("#s%1").arg(m_random.bounded(4));
            break;
        case 1:
            target = target.toUpper().replace(QStringLiteral(".HTML"), QStringLiteral(".html"));
            break;
        case 2:
            return "<img src=\"../pic" + QByteArray::number(m_random.bounded(3)) + ".png\">";
        case 3:
            target = QStringLiteral("/") + page(n).section(u'/', 0, 0) + QStringLiteral("/");
            break;
        case 4:
            return "<link rel=stylesheet href=\"../s" + QByteArray::number(m_random.bounded(2))
                + ".css\">";
        default:
            break;
        }
        return "<a href=\"" + target.toUtf8() + "\">x</a>\n";
    }

    void writePage(const QString &name)
    {
        QByteArray text;
        for (int i = 0; i < 6; ++i) {
            if (m_random.bounded(3) == 0)
                text += "<h2 id=\"s" + QByteArray::number(m_random.bounded(4)) + "\">s</h2>";
            text += link();
        }
        writeFile(path(name), text);
    }

    // One random change on disk; returns the page saved, as the editor tells of its saves,
    // or nothing: every other change is seen on disk only.
    QString edit()
    {
        const int choice = int(m_random.bounded(16));
        const QString picture = QStringLiteral("pic%1.png").arg(m_random.bounded(3));
        const QString page = this->page(int(m_random.bounded(kPages)));
        switch (choice) {
        case 0:
        case 1:
            toggle(picture, "PNG");
            return {};
        case 2:
            toggle(QStringLiteral("s%1.css").arg(m_random.bounded(2)),
                "p { background: url(pic1.png) } @import 's0.css';");
            return {};
        case 3: // a target renamed
            move(picture, QStringLiteral("pic%1.png").arg(m_random.bounded(3)));
            return {};
        case 4: // its letters' case changed, and back
            move(picture, picture.left(1).toUpper() + picture.mid(1));
            move(picture.left(1).toUpper() + picture.mid(1), picture);
            return {};
        case 5:
            move(page,
                page.left(2)
                    + page.mid(2).toUpper().replace(
                        QStringLiteral(".HTML"), QStringLiteral(".html")));
            return {};
        case 6: // a folder of pages changes case, or a page goes into the other spelling
            if (!move(QStringLiteral("a"), QStringLiteral("A")))
                move(QStringLiteral("A"), QStringLiteral("a"));
            return {};
        case 7:
        case 8:
            QFile::remove(path(page));
            return {};
        case 9:
            if (toggle(QStringLiteral("a/index.html"), "<a id=s1>"))
                return path(QStringLiteral("a/index.html"));
            return {};
        default:
            writePage(page);
            return path(page);
        }
    }

    static constexpr int kPages = 12;

private:
    // True when the file was made.
    bool toggle(const QString &name, const QByteArray &bytes)
    {
        if (QFile::exists(path(name))) {
            QFile::remove(path(name));
            return false;
        }
        writeFile(path(name), bytes);
        return true;
    }

    bool move(const QString &from, const QString &to)
    {
        return QFileInfo::exists(path(from)) && !QFileInfo::exists(path(to))
            && QDir().rename(path(from), path(to));
    }

    QString m_folder;
    QRandomGenerator m_random { 26 };
};

// What the folder watch compares of a followed file.
QMap<QString, QByteArray> looks(const QStringList &files)
{
    QMap<QString, QByteArray> looks;
    for (const QString &file : files) {
        QFile read(file);
        const QFileInfo info(file);
        looks.insert(file,
            !info.exists()                       ? QByteArray("missing")
                : info.isDir()                   ? QByteArray("folder")
                : read.open(QIODevice::ReadOnly) ? read.readAll()
                                                 : QByteArray("unreadable"));
    }
    return looks;
}

} // namespace

TEST(SiteCheck, UpdatesGiveWhatAFullCheckGives)
{
    TemporaryDir dir;
    RandomSite site(dir.path());
    for (int n = 0; n < RandomSite::kPages; n += 2)
        site.writePage(site.page(n));
    site.edit();
    linkcheck::SiteCheck check({});
    check.check({ dir.path() });
    int told = 0;
    for (int step = 0; step < 300; ++step) {
        // As the page does: the files it follows that changed, and the editor's saves.
        const QStringList followed = check.followedFiles();
        const QMap<QString, QByteArray> before = looks(followed);
        const QString saved = site.edit();
        const QMap<QString, QByteArray> after = looks(followed);
        QStringList changed;
        for (const QString &file : followed)
            if (before.value(file) != after.value(file) || file == saved)
                changed.append(file);
        if (!saved.isEmpty() && !changed.contains(saved))
            changed.append(saved);
        SCOPED_TRACE(QStringLiteral("step %1: %2").arg(step).arg(changed.join(u' ')).toStdString());
        for (const QString &file : changed)
            check.update(file);
        told += saved.isEmpty() && !changed.isEmpty() ? 1 : 0;
        linkcheck::SiteCheck fresh({});
        fresh.check({ dir.path() });
        ASSERT_EQ(gnuLines(check.report(), dir.path()), gnuLines(fresh.report(), dir.path()));
        const linkcheck::CheckTotals a = check.totals();
        const linkcheck::CheckTotals b = fresh.totals();
        ASSERT_EQ(std::tie(a.pages, a.links, a.external, a.broken),
            std::tie(b.pages, b.links, b.external, b.broken));
        ASSERT_EQ(check.files().size(), fresh.files().size());
    }
    // Most changes on disk came to be known by following alone.
    EXPECT_GT(told, 60);
}

TEST(SiteCheck, UpdatesFollowFoldersAndStylesThatComeAndGo)
{
    TemporaryDir dir;
    const QString site = dir.path();
    writeFile(site + QStringLiteral("/index.html"),
        "<link rel=stylesheet href=\"new/s.css\"><a href=\"new/deeper/p.html#a\">"
        "<a href=\"new/\">");
    linkcheck::SiteCheck check({});
    check.check({ site });
    EXPECT_EQ(check.report().size(), 3u);
    const QStringList steps {
        QStringLiteral("new/deeper/p.html"), // a page in folders that were not there
        QStringLiteral("new/s.css"), // a style sheet with a broken link of its own
        QStringLiteral("new/index.html"),
    };
    const QByteArray content[] = { "<p id=a>", "p { background: url(gone.png) }", "x" };
    for (qsizetype i = 0; i < steps.size(); ++i) {
        writeFile(site + QLatin1Char('/') + steps.at(i), content[i]);
        check.update(site + QLatin1Char('/') + steps.at(i));
        linkcheck::SiteCheck fresh({});
        fresh.check({ site });
        EXPECT_EQ(gnuLines(check.report(), site), gnuLines(fresh.report(), site)) << i;
    }
    EXPECT_EQ(gnuLines(check.report(), site),
        QStringList { QStringLiteral("new/s.css:1:21: broken link \"gone.png\": no such file") });
    // The folder goes with all in it, and each file is told of.
    removeTree(site + QStringLiteral("/new"));
    for (const QString &step : steps)
        check.update(site + QLatin1Char('/') + step);
    EXPECT_EQ(check.report().size(), 3u);
    EXPECT_EQ(check.files(), QStringList { site + QStringLiteral("/index.html") });

    // A stop asked for by the progress ends the check.
    EXPECT_FALSE(check.check({ site }, [](int, int) { return false; }));
}
