#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

namespace batch {

// "folioscope-batch search [--recursive] [--mask MASK] [--program-folder DIR] FOLDER": the
// records that "Search" would put in the list, in scan order, as a list file on out.
int runSearchCommand(
    const QStringList &args, QIODevice &out, QIODevice &err, const QString &defaultProgramFolder);

// "folioscope-batch verify LIST.lst": the verified list on out, one line per updated or
// missing entry on err.
int runVerifyCommand(const QStringList &args, QIODevice &out, QIODevice &err);

QString searchUsage();

// The thumbnail folder of the data folder that --program-folder DIR names (empty: the
// program's own, beside it or the user's).
QString thumbFolderFor(const QString &programFolder, const QString &defaultProgramFolder);
QString verifyUsage();

} // namespace batch
