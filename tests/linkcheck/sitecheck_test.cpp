#include "sitefiles.h"

#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString fixtureSite()
{
    return qEnvironmentVariable("FOLIOSCOPE_TEST_DATA") + QStringLiteral("/site");
}

QByteArray golden(const char *name)
{
    QFile file(qEnvironmentVariable("FOLIOSCOPE_TEST_DATA") + QStringLiteral("/")
        + QLatin1String(name));
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
    const bool root = ::geteuid() == 0; // root reads anyway
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
            root ? QStringList { QStringLiteral("locked.html:1:10: broken link \"x.html\": no such file") }
                 : QStringList { QStringLiteral("locked.html:1:1: cannot read") } },
        { "unreadable folder",
            [&](const QString &site) {
                writeFile(site + QStringLiteral("/closed/a.html"), "<a href=\"x.html\">");
                ::chmod(QFile::encodeName(site + QStringLiteral("/closed")).constData(), 0);
            },
            root ? QStringList { QStringLiteral("closed/a.html:1:10: broken link \"x.html\": no such file") }
                 : QStringList { QStringLiteral("closed:1:1: cannot read") } },
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
        { "100,000-character link",
            [](const QString &site) {
                writeFile(site + QStringLiteral("/index.html"),
                    "<a href=\"" + QByteArray(100000, 'a') + "\">");
            },
            { QStringLiteral("index.html:1:10: broken link \"aaaa") } },
        { "symbolic-link loops",
            [](const QString &site) {
                writeFile(site + QStringLiteral("/index.html"),
                    "<a href=\"loop.html\"><a href=\"up/up/up/index.html\">");
                QFile::link(QStringLiteral("loop2.html"), site + QStringLiteral("/loop.html"));
                QFile::link(QStringLiteral("loop.html"), site + QStringLiteral("/loop2.html"));
                QFile::link(QStringLiteral("."), site + QStringLiteral("/up"));
            },
            { QStringLiteral("index.html:1:10: broken link \"loop.html\": no such file") } },
        { "a link out of the site",
            [](const QString &site) {
                writeFile(site + QStringLiteral("/../secret.html"), "<a href=\"x.html\">");
                writeFile(site + QStringLiteral("/index.html"), "<a href=\"out.html\">");
                QFile::link(site + QStringLiteral("/../secret.html"), site + QStringLiteral("/out.html"));
            },
            { QStringLiteral("index.html:1:10: broken link \"out.html\": outside the site") } },
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

namespace {

// A small site of pages linking each other, pictures and a style sheet, with names that come
// and go, in two cases of letters.
class RandomSite
{
public:
    explicit RandomSite(const QString &folder)
        : m_folder(folder)
    { }

    QString page(int n) const
    {
        return QStringLiteral("%1/p%2.html").arg(n % 3 == 0 ? QStringLiteral("a") : QStringLiteral("b")).arg(n);
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

    // One random change on disk; returns the file changed.
    QString edit()
    {
        const int choice = int(m_random.bounded(10));
        if (choice < 2) {
            const QString name = QStringLiteral("pic%1.png").arg(m_random.bounded(3));
            toggle(name, "PNG");
            return path(name);
        }
        if (choice < 3) {
            const QString name = QStringLiteral("s%1.css").arg(m_random.bounded(2));
            toggle(name, "p { background: url(pic1.png) } @import 's0.css';");
            return path(name);
        }
        const QString name = page(int(m_random.bounded(kPages)));
        if (choice < 5 && QFile::exists(path(name)))
            QFile::remove(path(name));
        else if (choice == 5)
            toggle(QStringLiteral("a/index.html"), "<a id=s1>");
        else
            writePage(name);
        return path(choice == 5 ? QStringLiteral("a/index.html") : name);
    }

    static constexpr int kPages = 12;

private:
    void toggle(const QString &name, const QByteArray &bytes)
    {
        if (QFile::exists(path(name)))
            QFile::remove(path(name));
        else
            writeFile(path(name), bytes);
    }

    QString m_folder;
    QRandomGenerator m_random { 26 };
};

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
    for (int step = 0; step < 150; ++step) {
        const QString changed = site.edit();
        SCOPED_TRACE(QStringLiteral("step %1: %2").arg(step).arg(changed).toStdString());
        check.update(changed);
        linkcheck::SiteCheck fresh({});
        fresh.check({ dir.path() });
        ASSERT_EQ(gnuLines(check.report(), dir.path()), gnuLines(fresh.report(), dir.path()));
        const linkcheck::CheckTotals a = check.totals();
        const linkcheck::CheckTotals b = fresh.totals();
        ASSERT_EQ(std::tie(a.pages, a.links, a.external, a.broken),
            std::tie(b.pages, b.links, b.external, b.broken));
        ASSERT_EQ(check.files().size(), fresh.files().size());
    }
}
