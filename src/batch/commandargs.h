#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <functional>

namespace batch {

// What every command's arguments share: --help (-h), "--" ending the options, and at most
// one FILE (standard input when absent or "-").
struct CommandArguments {
    bool help = false;
    QString file;
};

enum class OptionResult { Taken, Unknown, Bad };

// Asked for every other argument that starts with "-": Taken (it may take the next argument
// by advancing i), Unknown when the command has no such option, Bad with error set.
using OptionParser
    = std::function<OptionResult(const QStringList &args, qsizetype &i, QString *error)>;

bool parseCommandArguments(
    const QStringList &args, CommandArguments *common, const OptionParser &option, QString *error);

// The bytes of FILE, or of standard input for none or "-"; false with error set.
bool readCommandInput(const QString &file, QIODevice &in, QByteArray *bytes, QString *error);

} // namespace batch
