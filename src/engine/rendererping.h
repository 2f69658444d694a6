#pragma once

#include <QElapsedTimer>
#include <QObject>

class QWebEnginePage;

namespace engine {

// Asks a page's renderer whether it still answers, without waiting: the last question and the
// last answer, and when the question was asked and the renderer last gave a sign of life (a
// report, an answer).
class RendererPing : public QObject
{
public:
    // How long a renderer gets to answer before it counts as hung.
    static constexpr int AnswerMs = 500;

    explicit RendererPing(QObject *parent = nullptr);

    // A question that the renderer has given signs of life since is taken as lost (a question
    // to a document going away may never be answered) and asked again.
    void ask(QWebEnginePage *page);
    // Asked a while ago, and nothing heard of the renderer since: no answer, no report.
    bool silent() const;
    void noteSign();
    // Questions asked so far are not waited for (they went to a page now gone).
    void forgetQuestions();

private:
    QElapsedTimer m_clock;
    quint64 m_serial = 0;
    quint64 m_answered = 0;
    qint64 m_sentAt = 0;
    qint64 m_lastSignAt = 0;
};

} // namespace engine
