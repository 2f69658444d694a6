#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace imaging {

// JPEG pictures through libjpeg. Reading never trusts the file: a missing, empty, truncated,
// corrupt or absurdly large picture, or a progressive one of too many scans, gives a null
// image, and any warning of the decoder counts as damage, because the pictures read here are
// the ones this program wrote. Grey, CMYK and progressive pictures of other writers decode.
QImage readJpeg(const QString &path);
QImage decodeJpeg(const QByteArray &data);

// Baseline JPEG of the given quality (1..100), slow-accurate integer DCT and optimised Huffman
// tables; alpha is dropped. An empty result means the image could not be encoded.
QByteArray encodeJpeg(const QImage &image, int quality);
// Writes through a temporary file renamed over the target, so a failure leaves the old file;
// false with the reason in `error` (when given).
bool writeJpeg(const QImage &image, const QString &path, int quality, QString *error = nullptr);

} // namespace imaging
