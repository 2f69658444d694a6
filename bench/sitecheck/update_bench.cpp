// Times SiteCheck::update for one edited page of a site made by generate_site.py: each round
// rewrites a page (a link broken or mended, an anchor gone or back) and brings the report up
// to date, as the Site Check page does when a page is saved. A third argument "html" checks
// the pages' HTML errors too and takes their report with the links', as the page does.
#include "linkcheck/sitecheck.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: sitecheck_update_bench SITE [ROUNDS [html]]\n");
        return 2;
    }
    const QString site = QString::fromLocal8Bit(argv[1]);
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;

    QElapsedTimer clock;
    clock.start();
    linkcheck::CheckOptions options;
    options.html = argc > 3 && qstrcmp(argv[3], "html") == 0;
    linkcheck::SiteCheck check(options);
    check.check({ site });
    const qint64 full = clock.elapsed();
    const size_t broken = check.report().size();

    QStringList pages;
    QDirIterator found(site, { QStringLiteral("p*.html") }, QDir::Files, QDirIterator::Subdirectories);
    while (found.hasNext())
        pages.append(found.next());
    pages.sort();
    if (pages.isEmpty()) {
        std::fprintf(stderr, "no pages in %s\n", argv[1]);
        return 2;
    }

    std::vector<double> times;
    std::vector<double> updates;
    for (int round = 0; round < rounds; ++round) {
        const QString page = pages.at((round * 7919) % pages.size());
        const QByteArray before = readAll(page);
        // Every other round breaks a link and an anchor, the next mends them.
        QByteArray after = before;
        after.replace("href=\"../", "href=\"../gone-");
        after.replace("id=\"s1\"", "id=\"s1-gone\"");
        for (const QByteArray &text : { after, before }) {
            if (!writeAll(page, text))
                return 2;
            clock.restart();
            check.update(page);
            updates.push_back(double(clock.nsecsElapsed()) / 1e6);
            const std::vector<linkcheck::BrokenLink> report = check.report();
            const std::vector<linkcheck::PageProblem> problems
                = options.html ? check.htmlReport() : std::vector<linkcheck::PageProblem>();
            times.push_back(double(clock.nsecsElapsed()) / 1e6);
            Q_UNUSED(report);
            Q_UNUSED(problems);
        }
    }
    std::sort(times.begin(), times.end());
    std::sort(updates.begin(), updates.end());
    std::printf("full check: %lld ms, %zu broken links\n", static_cast<long long>(full), broken);
    std::printf("update of one page with its report (%zu updates): median %.2f ms, "
                "90th percentile %.2f ms, max %.2f ms\n",
        times.size(), times[times.size() / 2], times[times.size() * 9 / 10], times.back());
    std::printf("the update alone: median %.2f ms, max %.2f ms\n", updates[updates.size() / 2],
        updates.back());
    return check.report().size() == broken ? 0 : 1;
}
