#pragma once

#include <QString>
#include <QStringView>

#include <functional>

namespace formatter {

// The result text of a run, every line ended by CR LF. Without a sink the whole text is
// kept for takeText(); with one, the text is handed over in pieces of about chunkSize
// characters, so a long result is never held whole. A piece never ends between the two
// halves of a surrogate pair.
class ResultWriter
{
public:
    using Sink = std::function<void(QStringView piece)>;

    explicit ResultWriter(Sink sink = {}, qsizetype chunkSize = 1 << 16);

    // A hint: how long the result is likely to be, for a writer without a sink.
    void reserve(qsizetype size);
    void append(QStringView text);
    void append(QChar c);
    void endLine();
    void line(QStringView text);
    // Hands the rest to the sink.
    void finish();
    QString takeText();

private:
    void flushIfFull();

    QString m_buffer;
    Sink m_sink;
    qsizetype m_chunkSize;
};

} // namespace formatter
