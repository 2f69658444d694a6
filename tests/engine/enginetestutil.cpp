#include "enginetestutil.h"

#include "engine/htmlview.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>

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

static QString frameExpression(const QStringList &frames)
{
    QString expression = QStringLiteral("window");
    for (const QString &name : frames)
        expression += QStringLiteral(".frames['%1']").arg(name);
    return expression;
}

QPoint elementCentre(engine::HtmlView &view, const QString &id, const QStringList &frames)
{
    // Adds up the offsets of the frame elements on the way down.
    const QString script = QStringLiteral(R"JS(
        (function () {
          var win = window, x = 0, y = 0, names = %1;
          for (var i = 0; i < names.length; i++) {
            var el = win.document.querySelector('frame[name="' + names[i] + '"], iframe[name="'
                                                 + names[i] + '"]');
            var r = el.getBoundingClientRect();
            x += r.left + el.clientLeft; y += r.top + el.clientTop;
            win = el.contentWindow;
          }
          var t = win.document.getElementById('%2').getBoundingClientRect();
          return JSON.stringify({x: x + t.left + Math.min(t.width / 2, 20),
                                 y: y + t.top + t.height / 2});
        })())JS")
                               .arg(QString::fromUtf8(QJsonDocument::fromVariant(frames).toJson(
                                        QJsonDocument::Compact)),
                                   id);
    const QJsonObject point
        = QJsonDocument::fromJson(view.evaluateJavaScript(script).toString().toUtf8()).object();
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
    return view.evaluateJavaScript(frameExpression(frames) + QStringLiteral(".location.href"))
        .toString();
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
