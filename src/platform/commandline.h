#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The version both programs report, the project's.
QString programVersion();

// True when one of the arguments after the program's name is `option` (such as "--help"),
// before a "--" that ends the options.
bool hasOption(int argc, char **argv, const char *option);

// The arguments after the program's name, decoded as names on disk are (decodeFileName): a
// Latin-1 caf\xe9.htm stays findable, where QCoreApplication::arguments() loses its byte.
QStringList argumentsAsFileNames(int argc, char **argv);

// Writes `text` to standard output; the exit status: 0, or 1 when it could not be written.
int printToStandardOutput(const QString &text);

// While it lives, a window program without a display ends in one line instead of Qt's abort:
// when the window system's platform plugin finds no display, `line` goes to standard error
// and the program exits with status 2. Qt's other messages meanwhile are held back and
// written when it ends, once the application object stands.
class NoDisplayExit
{
public:
    explicit NoDisplayExit(const QString &line);
    ~NoDisplayExit();
    NoDisplayExit(const NoDisplayExit &) = delete;
    NoDisplayExit &operator=(const NoDisplayExit &) = delete;
};

} // namespace platform
