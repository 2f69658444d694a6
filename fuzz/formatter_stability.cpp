// Formats each input, then the result again, and counts per mode the inputs whose second
// result equals the first, and those whose third result equals the second.
//   formatter_stability [-v] [--corpus] PATH...
// PATH is a file or a folder (its files, recursively). With --corpus the files are inputs of
// the formatter fuzz target (first byte: mode and selection); otherwise each file is a page,
// formatted as a selection in every mode. -v names the inputs that changed.
#include "formatterinput.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <map>
#include <string>

namespace {

struct Tally {
    int total = 0;
    int stable = 0; // second run = first
    int settled = 0; // third run = second
};

const char *modeName(formatter::FormatMode mode)
{
    switch (mode) {
    case formatter::FormatMode::Compress:
        return "compress";
    case formatter::FormatMode::Trim:
        return "trim";
    default:
        return "format";
    }
}

QStringList filesOf(const QString &path)
{
    if (!QFileInfo(path).isDir())
        return { path };
    QStringList files;
    QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

class Checker
{
public:
    explicit Checker(bool verbose)
        : m_verbose(verbose)
    { }

    void check(const fuzzing::FormatterInput &input, const QString &name)
    {
        const QString once = fuzzing::formatAs(input, input.page.text);
        const QString twice = fuzzing::formatAs(input, once);
        const bool same = twice == once;
        Tally &tally = m_tallies[modeName(input.mode)];
        ++tally.total;
        tally.stable += same ? 1 : 0;
        tally.settled += same || fuzzing::formatAs(input, twice) == twice ? 1 : 0;
        if (!same && m_verbose)
            std::printf("unstable (%s%s): %s\n", modeName(input.mode),
                input.selection ? "" : ", whole", qPrintable(name));
    }

    void print() const
    {
        for (const auto &[mode, tally] : m_tallies)
            std::printf("%s: %d of %d stable, %d after a second run\n", mode.c_str(), tally.stable,
                tally.total, tally.settled);
    }

private:
    bool m_verbose;
    std::map<std::string, Tally> m_tallies;
};

} // namespace

int main(int argc, char **argv)
{
    bool verbose = false;
    bool corpus = false;
    QStringList paths;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == u"-v")
            verbose = true;
        else if (arg == u"--corpus")
            corpus = true;
        else
            paths.append(arg);
    }
    if (paths.isEmpty()) {
        std::fprintf(stderr, "usage: formatter_stability [-v] [--corpus] PATH...\n");
        return 2;
    }
    Checker checker(verbose);
    for (const QString &path : std::as_const(paths)) {
        for (const QString &file : filesOf(path)) {
            QFile in(file);
            if (!in.open(QIODevice::ReadOnly))
                continue;
            QByteArray bytes = in.readAll();
            if (!corpus) // the mode byte is put in front, then each mode in turn
                bytes.prepend(char(4));
            fuzzing::FormatterInput input;
            const auto *data = reinterpret_cast<const uint8_t *>(bytes.constData());
            if (!fuzzing::readFormatterInput(data, size_t(bytes.size()), &input))
                continue;
            checker.check(input, file);
            for (int next = 1; !corpus && next < 3; ++next) {
                bytes[0] = char(4 + next);
                fuzzing::readFormatterInput(data, size_t(bytes.size()), &input);
                checker.check(input, file);
            }
        }
    }
    checker.print();
    return 0;
}
