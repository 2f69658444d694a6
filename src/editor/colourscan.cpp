#include "editor/colourscan.h"

namespace editor {

namespace {

struct RunCollector {
    QList<ColourRun> runs;
    ColourClass current = ColourClass::Text;

    void colour(ColourClass cls) { current = cls; }
    void chars(qsizetype from, qsizetype to)
    {
        if (to <= from)
            return;
        if (!runs.isEmpty()) {
            ColourRun &last = runs.last();
            if (last.cls == current && last.start + last.length == from) {
                last.length += to - from;
                return;
            }
        }
        runs.append({ from, to - from, current });
    }
    void openComment(qsizetype, qsizetype) { }
};

} // namespace

QList<ColourRun> colourRuns(QStringView text)
{
    RunCollector collector;
    scanColours(text, collector);
    return collector.runs;
}

} // namespace editor
