#include "formatter/resultwriter.h"

namespace formatter {

ResultWriter::ResultWriter(Sink sink, qsizetype chunkSize)
    : m_sink(std::move(sink))
    , m_chunkSize(chunkSize)
{
    if (m_sink)
        m_buffer.reserve(m_chunkSize + m_chunkSize / 4);
}

void ResultWriter::reserve(qsizetype size)
{
    if (!m_sink)
        m_buffer.reserve(size);
}

void ResultWriter::append(QStringView text)
{
    // A long text goes on in pieces of the chunk size, never copied whole.
    while (m_sink && !text.isEmpty() && m_buffer.size() + text.size() > m_chunkSize) {
        qsizetype take = qMax<qsizetype>(m_chunkSize - m_buffer.size(), 1);
        if (take < text.size() && text.at(take - 1).isHighSurrogate())
            ++take;
        m_buffer.append(text.first(take));
        text = text.sliced(take);
        flushIfFull();
    }
    m_buffer.append(text);
    flushIfFull();
}

void ResultWriter::append(QChar c)
{
    m_buffer.append(c);
    flushIfFull();
}

void ResultWriter::endLine()
{
    m_buffer.append(u"\r\n");
    flushIfFull();
}

void ResultWriter::line(QStringView text)
{
    m_buffer.append(text);
    endLine();
}

void ResultWriter::flushIfFull()
{
    if (!m_sink || m_buffer.size() < m_chunkSize)
        return;
    // A high surrogate waits for its low half.
    const QChar last = m_buffer.back();
    const bool keep = last.isHighSurrogate();
    if (keep && m_buffer.size() == 1)
        return;
    m_sink(QStringView(m_buffer).chopped(keep ? 1 : 0));
    m_buffer.resize(0);
    if (keep)
        m_buffer.append(last);
}

void ResultWriter::finish()
{
    if (m_sink && !m_buffer.isEmpty()) {
        m_sink(m_buffer);
        m_buffer.resize(0);
    }
}

QString ResultWriter::takeText()
{
    return std::exchange(m_buffer, QString());
}

} // namespace formatter
