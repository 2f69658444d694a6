#include "enginetestutil.h"

#include "engine/htmlview.h"
#include "engine/localscheme.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include <gtest/gtest.h>

#include <functional>

PageFolder::PageFolder() = default;

QString PageFolder::path(const QString &name) const
{
    return m_dir.filePath(name);
}

QString PageFolder::write(const QString &name, const QByteArray &content) const
{
    const QString full = path(name);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return full;
}

void spin(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool waitFor(const std::function<bool()> &condition, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qSleep(2);
    }
    return true;
}

namespace {

// Each local file is an origin of its own, so a script of the top document cannot look into its
// frames. The tests ask them by messages instead: every document of the engine's profile runs
// this script, which passes a question down the frame path, adding up the offsets of the frame
// elements, and the document at its end answers the top one.
const char framesAnswerScript[] = R"JS(
(function () {
  window.addEventListener('message', function (event) {
    var m = event.data;
    if (m && m.testAnswer === 1 && window === top)
      window.testAnswer = JSON.stringify(m);
    if (!m || m.testQuestion !== 1)
      return;
    if (m.path.length) {
      var el = document.querySelector('frame[name="' + m.path[0] + '"], iframe[name="'
                                      + m.path[0] + '"]');
      if (!el)
        return;
      var r = el.getBoundingClientRect();
      m.x += r.left + el.clientLeft; m.y += r.top + el.clientTop;
      m.path = m.path.slice(1);
      el.contentWindow.postMessage(m, '*');
      return;
    }
    var answer = {testAnswer: 1, serial: m.serial, url: location.href};
    var t = m.id ? document.getElementById(m.id) : null;
    if (t) {
      var b = t.getBoundingClientRect();
      answer.x = m.x + b.left + Math.min(b.width / 2, 20);
      answer.y = m.y + b.top + b.height / 2;
    }
    top.postMessage(answer, '*');
  });
})();
)JS";

class FramesAnswerEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        QWebEngineScript script;
        script.setName(QStringLiteral("testFramesAnswer"));
        script.setSourceCode(QString::fromUtf8(framesAnswerScript));
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setWorldId(QWebEngineScript::MainWorld);
        script.setRunsOnSubFrames(true);
        engine::viewProfile()->scripts()->insert(script);
    }
};

[[maybe_unused]] ::testing::Environment *const framesAnswer
    = ::testing::AddGlobalTestEnvironment(new FramesAnswerEnvironment);

// The answer of the document at the end of the frame path, with the centre of the element `id`
// when one is asked for; empty when no answer came.
QJsonObject askFrame(engine::HtmlView &view, const QStringList &frames, const QString &id = {})
{
    // A load under way in the background ends first: the question is for its document.
    view.waitForLoad();
    static int serial = 0;
    ++serial;
    QJsonObject question { { QStringLiteral("testQuestion"), 1 },
        { QStringLiteral("serial"), serial },
        { QStringLiteral("path"), QJsonArray::fromStringList(frames) },
        { QStringLiteral("id"), id }, { QStringLiteral("x"), 0 }, { QStringLiteral("y"), 0 } };
    view.evaluateJavaScript(
        QStringLiteral("window.testAnswer = null; window.postMessage(%1, '*'); 1")
            .arg(QString::fromUtf8(QJsonDocument(question).toJson(QJsonDocument::Compact))));
    QJsonObject answer;
    waitFor(
        [&] {
            answer = QJsonDocument::fromJson(
                view.evaluateJavaScript(QStringLiteral("window.testAnswer")).toString().toUtf8())
                         .object();
            return answer.value(QStringLiteral("serial")).toInt() == serial;
        },
        1000);
    return answer.value(QStringLiteral("serial")).toInt() == serial ? answer : QJsonObject();
}

} // namespace

QPoint elementCentre(engine::HtmlView &view, const QString &id, const QStringList &frames)
{
    const QJsonObject point = askFrame(view, frames, id);
    return QPoint(int(point.value(QStringLiteral("x")).toDouble()),
        int(point.value(QStringLiteral("y")).toDouble()));
}

void clickAt(engine::HtmlView &view, const QPoint &pos)
{
    QWidget *input = view.inputWidget();
    QTest::mouseMove(input, pos);
    QTest::mousePress(input, Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseRelease(input, Qt::LeftButton, Qt::NoModifier, pos, 20);
}

void moveMouseTo(engine::HtmlView &view, const QPoint &pos)
{
    QWidget *input = view.inputWidget();
    QMouseEvent move(QEvent::MouseMove, pos, input->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
        Qt::NoModifier);
    QCoreApplication::sendEvent(input, &move);
}

QString frameUrl(engine::HtmlView &view, const QStringList &frames)
{
    return askFrame(view, frames).value(QStringLiteral("url")).toString();
}

bool sameColor(QRgb a, QRgb b, int tolerance)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
        && qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}

QString liberationSerifFile()
{
    return QStringLiteral("/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf");
}

int addSecondFoundryOf(const QString &fontFile)
{
    QFile file(fontFile);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    QByteArray font = file.readAll();
    // The foundry is the vendor id of the OS/2 table, 58 bytes into it.
    const auto u32 = [&](qsizetype at) {
        return quint32(uchar(font[at])) << 24 | quint32(uchar(font[at + 1])) << 16
            | quint32(uchar(font[at + 2])) << 8 | quint32(uchar(font[at + 3]));
    };
    const int tables = (uchar(font[4]) << 8) | uchar(font[5]);
    for (int i = 0; i < tables; ++i) {
        const qsizetype entry = 12 + 16 * i;
        if (font.mid(entry, 4) == "OS/2") {
            font.replace(qsizetype(u32(entry + 8)) + 58, 4, "ZZTS");
            return QFontDatabase::addApplicationFontFromData(font);
        }
    }
    return -1;
}
