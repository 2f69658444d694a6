#pragma once

#include <QImage>
#include <QString>

namespace batch {

// The picture IN of `resize`: only the three kinds of picture the command is for, and of PPM
// only the binary form. A null image with the reason in `error` otherwise.
QImage readResizeInput(const QString &path, QString *error);

} // namespace batch
