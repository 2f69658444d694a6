#include "engine/rendererping.h"

#include <QPointer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <algorithm>

namespace engine {

RendererPing::RendererPing(QObject *parent)
    : QObject(parent)
{
    m_clock.start();
}

void RendererPing::ask(QWebEnginePage *page)
{
    if (m_answered < m_serial && m_lastSignAt < m_sentAt)
        return; // the last question is still open
    const quint64 serial = ++m_serial;
    m_sentAt = m_clock.elapsed();
    QPointer<RendererPing> self(this);
    page->runJavaScript(
        QStringLiteral("1"), QWebEngineScript::ApplicationWorld, [self, serial](const QVariant &) {
            if (!self)
                return;
            self->m_answered = std::max(self->m_answered, serial);
            self->noteSign();
        });
}

bool RendererPing::silent() const
{
    return m_answered < m_serial && m_lastSignAt < m_sentAt
        && m_clock.elapsed() - m_sentAt >= AnswerMs;
}

void RendererPing::noteSign()
{
    m_lastSignAt = m_clock.elapsed();
}

void RendererPing::forgetQuestions()
{
    m_answered = m_serial;
}

} // namespace engine
