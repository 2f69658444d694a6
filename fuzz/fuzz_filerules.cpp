// MaskMatches, BuildTargetFileName and the thumbnail paths on any text.
#include "fuzzing.h"

#include "platform/filerules.h"
#include "imaging/thumbstore.h"

using platform::PathStyle;

namespace {

const QString kThumbFolder = QStringLiteral("/tmp/thumbs/");

// A native absolute folder that the thumbnail tag can stand for: no empty components, not
// inside the thumbnail folder ("=" and "%" in names are escaped).
bool faithfulFolder(const QString &folder)
{
    return folder.startsWith(QLatin1Char('/')) && !folder.contains(QStringLiteral("//"))
        && !folder.contains(kThumbFolder.chopped(1), Qt::CaseInsensitive);
}

void checkThumbRoundTrip(const QString &folder, const QString &name)
{
    if (!faithfulFolder(folder) || name.isEmpty() || name.contains(QLatin1Char('/')))
        return;
    const QString thumb = imaging::ThumbFileFor(kThumbFolder, folder, name, PathStyle::Posix);
    QString page = folder;
    if (!page.endsWith(QLatin1Char('/')))
        page += QLatin1Char('/');
    FUZZ_CHECK(imaging::PageFileFor(kThumbFolder, thumb, PathStyle::Posix) == page + name);
}

void checkTarget(const QString &folder, const QString &name, const QString &extension)
{
    for (const PathStyle style : { PathStyle::Posix, PathStyle::Windows }) {
        const QString target = platform::BuildTargetFileName(folder, name, extension, style);
        if (target.isEmpty())
            continue;
        // A name accepted stays a plain name inside the folder.
        const QString inside = platform::WithTrailingBackslash(folder, style);
        FUZZ_CHECK(target.startsWith(inside));
        const QString file = target.mid(inside.size());
        FUZZ_CHECK(!file.contains(QLatin1Char('/')) && !file.contains(QLatin1Char('\\')));
        FUZZ_CHECK(!file.contains(QStringLiteral("..")));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool quiet = (fuzzing::silenceDialogs(), true);
    (void)quiet;
    const QList<QByteArray> parts = fuzzing::splitInput(fuzzing::bytes(data, size), '\n', 3);
    const QString first = QString::fromUtf8(parts.value(0));
    const QString second = QString::fromUtf8(parts.value(1));
    const QString third = QString::fromUtf8(parts.value(2));
    for (const PathStyle style : { PathStyle::Posix, PathStyle::Windows })
        platform::MaskMatches(first, second, style);
    checkTarget(first, second, third);
    checkThumbRoundTrip(first, second);
    return 0;
}
