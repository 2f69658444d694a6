#pragma once

#include "platform/textcodec.h"

#include <QString>
#include <QStringList>

namespace platform {

// A private-profile (INI) file held in memory. Sections and keys match without regard to
// case, values come back trimmed of blanks and cut to 2047 characters, lines that are not
// understood stay where they are, a new key goes to the end of its section and a new
// section to the end of the file. The first of several equal sections or keys wins.
class IniFile
{
public:
    static constexpr qsizetype kMaxValueLength = 2047;

    IniFile() = default;

    // Reads the file; a missing or unreadable file gives an empty one (returns false).
    bool load(const QString &path);
    void setText(const QString &input);
    QString text() const;

    QString path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }

    bool hasKey(QStringView section, QStringView key) const;
    QString readString(QStringView section, QStringView key, const QString &defaultValue) const;
    int readInteger(QStringView section, QStringView key, int defaultValue) const;
    bool readBool(QStringView section, QStringView key, bool defaultValue) const;

    void writeString(QStringView section, QStringView key, const QString &value);
    void writeInteger(QStringView section, QStringView key, int value);
    void writeBool(QStringView section, QStringView key, bool value);

    QStringList sectionNames() const;
    QStringList keyNames(QStringView section) const;

    // Writes the whole file through a temporary file renamed over the target, so a
    // failure leaves the old file as it was. On failure, errorText names the file.
    bool save(QString *errorText = nullptr) const;

private:
    struct Range {
        qsizetype header = -1; // line index of "[section]", -1 when absent
        qsizetype end = 0;     // one past the section's last line
    };
    Range findSection(QStringView section) const;
    qsizetype findKey(const Range &range, QStringView key) const;

    QString m_path;
    QStringList m_lines;
    TextEncoding m_encoding = TextEncoding::Utf8;
    bool m_lfOnly = false;
    bool m_byteOrderMark = false;
};

// The integer rule of the settings file: decimal, or hexadecimal after "0x" when the value
// is longer than two characters; anything else gives the default.
int parseIniInteger(QStringView value, int defaultValue);

} // namespace platform
