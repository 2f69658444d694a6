#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <new>
#include <type_traits>

namespace batch {

// Exit statuses of the batch tool.
enum ExitStatus { ExitOk = 0, ExitFailed = 1, ExitSomeFailed = ExitFailed, ExitUsage = 2 };

void writeLine(QIODevice &device, const QString &line);

// The arguments as the system gave them (before any decoding), null-terminated: a command
// handed over to another program gets them unchanged.
void rememberArguments(char **argv);
char **rememberedArguments();

// The arguments as names on disk are shown: a file name that is not UTF-8 in its Latin-1
// reading, which the file operations map back to its bytes.
QStringList decodedArguments(int argc, char **argv);

// True when `arg` is the option `name`, alone or as "name=VALUE".
bool isOption(const QString &arg, const QString &name);

// Takes the value of an option given as "--name VALUE" or "--name=VALUE"; false when the
// value is missing.
bool takeValue(const QStringList &args, qsizetype &i, const QString &name, QString *value);

// What a command calls standard input in its messages.
QString standardInputName();

// Reads the device to its end, but never more than `maxBytes`: false when there was more.
bool readAtMost(QIODevice &in, qint64 maxBytes, QByteArray *bytes);

// "PREFIXnot enough memory for FILE" on err.
void reportNoMemory(QIODevice &err, const QString &prefix, const QString &file);

// Runs the work on FILE; a failed allocation anywhere in it ends in reportNoMemory and a
// failure (false, or ExitFailed), never in an abort, so that the next file still gets done.
template <typename Work>
auto withMemoryGuard(QIODevice &err, const QString &prefix, const QString &file, Work &&work)
    -> decltype(work())
{
    try {
        return work();
    } catch (const std::bad_alloc &) {
        reportNoMemory(err, prefix, file);
        if constexpr (std::is_same_v<decltype(work()), bool>)
            return false;
        else
            return ExitFailed;
    }
}

} // namespace batch
