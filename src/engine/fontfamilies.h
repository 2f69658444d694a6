#pragma once

#include <QString>
#include <QStringList>

namespace engine {

// The engine knows font families by their plain names. The platform's font list names a
// family that several foundries supply as "Family [Foundry]", which the engine does not know.

// "Nimbus Roman [urw]" -> "Nimbus Roman"; other names stay as they are.
QString familyWithoutFoundry(const QString &name);

// The installed font families as the engine knows them: plain names, each once, sorted
// without regard to case.
QStringList engineFontFamilies();

// The family the engine gets for a font name: the name when it is installed, otherwise the
// platform's substitute (a metric-compatible face for the Windows families that pages and the
// defaults name, such as "Times New Roman", "Arial" and "Courier New"), always by its plain
// name.
QString engineFamily(const QString &name);

} // namespace engine
