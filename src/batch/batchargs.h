#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

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

} // namespace batch
