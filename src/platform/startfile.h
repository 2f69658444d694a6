#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The file kinds taken from the command line and from drops, whatever the filter text says.
inline const QString AcceptedFileMask
    = QStringLiteral("*.htm;*.jpg;*.gif;*.asp;*.sht;*.dht;*.cfm;*.jht");

// The start file from the command-line parameters (without the program name): the last of
// one or two, as an absolute clean path, when it is an accepted file kind that exists.
QString startFileFromArguments(const QStringList &arguments);

// The file to jump to for a drop: the first name when it is of an accepted kind; otherwise
// empty after a beep and the message "Folioscope:" / "File not accepted." / the name.
QString AcceptDroppedFiles(const QStringList &names);

} // namespace platform
