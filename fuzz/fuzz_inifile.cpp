// The INI reader: read, write back, read again; every value survives.
#include "fuzzing.h"

#include "platform/inifile.h"

namespace {

// Every section, key and value as the reader sees them.
QStringList contents(const platform::IniFile &ini)
{
    QStringList seen;
    for (const QString &section : ini.sectionNames()) {
        seen << QLatin1Char('[') + section + QLatin1Char(']');
        for (const QString &key : ini.keyNames(section))
            seen << key + QLatin1Char('=') + ini.readString(section, key, QString());
    }
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path
        = fuzzing::writeScratchFile(QStringLiteral("fuzz.ini"), fuzzing::bytes(data, size));
    platform::IniFile first;
    first.load(path);
    // A new value, outside Latin-1 too, makes the write a real one.
    first.writeString(u"Fuzz", u"Added", QStringLiteral("x\u20ac"));
    FUZZ_CHECK(first.save());
    platform::IniFile second;
    FUZZ_CHECK(second.load(path));
    FUZZ_CHECK(contents(second) == contents(first));
    return 0;
}
