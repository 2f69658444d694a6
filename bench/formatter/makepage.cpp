#include "benchpage.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>

// Writes the benchmark page: makepage FILE [CHARACTERS]
int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fputs("usage: formatter_bench_page FILE [CHARACTERS]\n", stderr);
        return 2;
    }
    const qsizetype size = argc > 2 ? std::atoll(argv[2]) : 2'000'000;
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly)) {
        std::fputs("cannot write the page\n", stderr);
        return 2;
    }
    file.write(benchmarkPage(size).toUtf8());
    return 0;
}
