#include "resizeinput.h"

#include <QFile>
#include <QImageReader>

namespace batch {

QImage readResizeInput(const QString &path, QString *error)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QByteArray format = reader.format();
    QFile head(path);
    const bool rawPpm
        = format == "ppm" && head.open(QIODevice::ReadOnly) && head.read(2) == QByteArray("P6");
    if (format != "png" && format != "bmp" && !rawPpm) {
        *error = reader.error() == QImageReader::FileNotFoundError
            ? reader.errorString()
            : QStringLiteral("not a PPM (P6), PNG or BMP picture");
        return {};
    }
    const QImage image = reader.read();
    if (image.isNull())
        *error = QStringLiteral("damaged or too large (%1)").arg(reader.errorString());
    return image;
}

} // namespace batch
