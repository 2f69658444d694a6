#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace platform {

// An external program with its arguments, started without a command interpreter.
struct LaunchCommand {
    QString program;
    QStringList arguments;
};

// The command line as the user sees it configured: the program and the file in double quotes
// with the parameters between them ("prog" -n "file"; with no parameters two blanks remain).
QString LaunchCommandLine(const QString &location, const QString &param, const QString &file);

// The program is Location, the parameters are split into words as a POSIX shell splits them
// (blanks separate; quotes and backslashes group) but never expanded, and the file is one
// argument of its own, so no file name or parameter can run a command.
LaunchCommand launchCommandFor(const QString &location, const QString &param, const QString &file);

// Splits like a shell: 'single quotes' keep everything, "double quotes" honour \" \\ \$ \`,
// a backslash outside quotes takes the next character; $(...) and the like stay text.
QStringList splitShellWords(const QString &text);

// Starts the program detached; the program does not wait for it. False when it did not start.
// The program and the file arguments reach it by the bytes of their names on disk
// (encodeFilePath), so a Latin-1 name is handed over as itself, not as its UTF-8 reading.
bool launchDetached(const LaunchCommand &command);

// The file:// address of a local file, its path by its bytes on disk, percent-encoded: a
// Latin-1 caf\xe9.htm gives file:///.../caf%E9.htm, which the opener decodes to those bytes.
QUrl localFileUrl(const QString &path);

// Opens a local file (by localFileUrl) or an address with the desktop's default program.
bool openWithDefaultProgram(const QString &fileOrUrl);

// Location names an existing file.
bool launcherExists(const QString &location);

// What the file names of the system's programs end with: ".exe" on Windows, nothing elsewhere.
QString programSuffix();

// Runs `program` in this process's place with `argv` (as main got it). Returns only when it
// could not: with the reason, or empty where the system cannot replace a process (then the
// caller starts the program as a child).
QString replaceProcessWith(const QString &program, char **argv);

} // namespace platform
