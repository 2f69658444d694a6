#include "platform/textrules.h"

namespace platform {

QString replaceEveryIgnoringCase(const QString &text, const QString &from, const QString &to)
{
    if (from.isEmpty())
        return text;
    QString result;
    result.reserve(text.size());
    qsizetype start = 0;
    for (;;) {
        const qsizetype hit = text.indexOf(from, start, Qt::CaseInsensitive);
        if (hit < 0)
            break;
        result += QStringView(text).mid(start, hit - start);
        result += to;
        start = hit + from.size();
    }
    result += QStringView(text).mid(start);
    return result;
}

} // namespace platform
