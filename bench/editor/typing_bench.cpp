// Typing in the editor as the main window docks it, on a page of nearly 2,000,000 characters,
// side by side with a plain QPlainTextEdit holding the same text. Each keystroke is a real key
// event and counts until the control's viewport has painted the change.
//
//   QT_QPA_PLATFORM=offscreen typing_bench [ROUNDS [PLACE]]
// PLACE (0 to 6, for a profiler) types at that place alone.
#include "../formatter/benchpage.h"

#include "../../tests/support/widgetbyname.h"
#include "app/mainwindow.h"
#include "editor/editorfile.h"
#include "editor/palette.h"
#include "folderview/folderviewpage.h"
#include "frame/progresswindow.h"
#include "platform/startup.h"
#include "viewer/sourceeditor.h"
#include "viewer/viewerwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

double threadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct Cost {
    double wallMs = 0;
    double cpuMs = 0;
};

// Counts the paint events of a viewport.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *viewport) { viewport->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Runs the events until the viewport has painted (at most 2 s; a missing paint is counted).
int missedPaints = 0;
void waitForPaint(const PaintCounter &counter, int paintsBefore)
{
    QElapsedTimer waited;
    waited.start();
    while (counter.paints == paintsBefore) {
        if (waited.elapsed() > 2000) {
            ++missedPaints;
            return;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// Lets the control paint whatever is pending before a measurement begins.
void settle(QWidget *control)
{
    control->repaint();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

template<typename Action> Cost measure(const PaintCounter &counter, Action action)
{
    const int paintsBefore = counter.paints;
    QElapsedTimer wall;
    wall.start();
    const double cpu = threadCpuMs();
    action();
    waitForPaint(counter, paintsBefore);
    return { double(wall.nsecsElapsed()) / 1e6, threadCpuMs() - cpu };
}

// Many pages hold a long stretch without tags somewhere: a log, a listing, a data table.
constexpr qsizetype kTaglessLength = 300'000;

// The keys typed at each place: characters that re-colour the tag around the caret and some
// that do not, deleted again, and a Delete, so that the text ends as it began.
struct Key {
    Qt::Key key;
    char character;
};
std::vector<Key> keySequence()
{
    std::vector<Key> keys;
    for (const char c : QByteArrayView("ab>c\"d<e-!f"))
        keys.push_back({ Qt::Key_unknown, c });
    for (int i = 0; i < 11; ++i)
        keys.push_back({ Qt::Key_Backspace, 0 });
    keys.push_back({ Qt::Key_unknown, 'z' });
    keys.push_back({ Qt::Key_Left, 0 });
    keys.push_back({ Qt::Key_Delete, 0 });
    return keys;
}

void press(QWidget *control, const Key &key)
{
    if (key.character)
        QTest::keyClick(control, key.character);
    else
        QTest::keyClick(control, key.key);
}

QString taglessStretch()
{
    QString stretch;
    for (int line = 1; stretch.size() < kTaglessLength; ++line)
        stretch
            += QStringLiteral("%1: a long listing line, and no tags anywhere in it\n").arg(line);
    return stretch;
}

// Where the caret goes: inside an attribute value, in text between tags, right after a ">",
// inside a comment, in the middle of the listing, near the start and near the end.
std::vector<int> typingPlaces(const QString &text)
{
    const qsizetype middle = text.size() / 2;
    const qsizetype listing = text.indexOf(taglessStretch().first(40));
    return { int(text.indexOf(QStringLiteral("=\""), middle) + 3),
        int(text.indexOf(QStringLiteral("Cell text"), middle) + 4),
        int(text.indexOf(QStringLiteral("<p>"), middle) + 3),
        int(text.indexOf(QStringLiteral("<!--"), middle) + 6), int(listing + kTaglessLength / 2),
        300, int(text.size() - 300) };
}

const char *const kPlaceNames[] = { "in an attribute value", "in text", "after a \">\"",
    "in a comment", "in a listing", "near the start", "near the end" };

void typeAt(
    QPlainTextEdit *control, const PaintCounter &counter, int place, std::vector<Cost> *costs)
{
    QTextCursor cursor = control->textCursor();
    cursor.setPosition(place);
    control->setTextCursor(cursor);
    control->ensureCursorVisible();
    settle(control);
    for (const Key &key : keySequence())
        costs->push_back(measure(counter, [&] { press(control, key); }));
}

double quantile(std::vector<double> values, double q)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(q * double(values.size())))];
}

struct Summary {
    double median, p95, max;
};

Summary summarise(const std::vector<Cost> &costs, double Cost::*field)
{
    std::vector<double> values;
    for (const Cost &cost : costs)
        values.push_back(cost.*field);
    return { quantile(values, 0.5), quantile(values, 0.95), quantile(values, 1.0) };
}

void printRow(const char *name, const std::vector<Cost> &costs)
{
    const Summary wall = summarise(costs, &Cost::wallMs);
    const Summary cpu = summarise(costs, &Cost::cpuMs);
    std::printf("  %-26s %8.2f %8.2f %8.2f | %8.2f %8.2f %8.2f\n", name, wall.median, wall.p95,
        wall.max, cpu.median, cpu.p95, cpu.max);
}

double median(const std::vector<Cost> &costs)
{
    return summarise(costs, &Cost::wallMs).median;
}

void printLoadAverage(const char *when)
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (file.open(QIODevice::ReadOnly))
        std::printf("load average %s: %s", when, file.readLine().constData());
}

bool copyProgramFile(const QString &name, const QString &programFolder)
{
    const QString from = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
    return QFile::copy(from, programFolder + QLatin1Char('/') + name);
}

// The page on disk as a site would hold it, CR LF line breaks, short of the editor's limit:
// the benchmark page with a listing in a "pre" of its middle.
QString writePage(const QString &path)
{
    QString text = benchmarkPage(editor::kMaxEditorLength - 60'000 - kTaglessLength);
    text.insert(text.indexOf(QStringLiteral("<pre>\n"), text.size() / 2) + 6, taglessStretch());
    QString onDisk = text;
    onDisk.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(onDisk.toUtf8()) < 0)
        return {};
    return text;
}

class Bench
{
public:
    bool start();
    void run(int rounds, int onlyPlace);

private:
    void measureOpening(int times);
    viewer::SourceEditor *editor() const { return view->editor(); }

    QTemporaryDir program;
    QTemporaryDir site;
    QString pagePath;
    QString pageText;
    std::unique_ptr<app::MainWindow> form;
    std::unique_ptr<viewer::ViewerWindow> view;
    std::unique_ptr<frame::ProgressWindow> progress;
    std::unique_ptr<QPlainTextEdit> plain;
};

bool Bench::start()
{
    pagePath = QDir::toNativeSeparators(site.filePath(QStringLiteral("page.htm")));
    pageText = writePage(pagePath);
    QFile ini(program.filePath(QStringLiteral("prg.ini")));
    if (pageText.isEmpty() || !copyProgramFile(QStringLiteral("tagsyntax.txt"), program.path())
        || !ini.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "typing_bench: cannot write the page or the program folder\n");
        return false;
    }
    ini.write(QStringLiteral("[PATHS]\r\nVIEW_PATH=%1\r\n").arg(site.path()).toUtf8());
    ini.close();
    form = std::make_unique<app::MainWindow>(program.path(), QStringList());
    view = std::make_unique<viewer::ViewerWindow>(form.get());
    progress = std::make_unique<frame::ProgressWindow>();
    form->setViewer(view.get());
    form->setProgressWindow(progress.get());
    form->resize(1280, 960);
    form->show();
    form->handleActivation();
    auto *folderPage = dynamic_cast<folderview::FolderViewPage *>(form->pages().front());
    widget<QListWidget>(folderPage, "LBFile")->setCurrentRow(0);
    widget<QToolButton>(folderPage, "SBEditor")->click();
    if (!widget<QWidget>(folderPage, "Panel1")->isAncestorOf(editor())) {
        std::fprintf(stderr, "typing_bench: the editor is not docked in the main window\n");
        return false;
    }
    plain = std::make_unique<QPlainTextEdit>();
    plain->setLineWrapMode(QPlainTextEdit::NoWrap);
    plain->setFont(editor()->font());
    QCoreApplication::processEvents();
    plain->resize(editor()->size());
    plain->show();
    return true;
}

void Bench::measureOpening(int times)
{
    PaintCounter editorPaints(editor()->viewport());
    PaintCounter plainPaints(plain->viewport());
    const editor::Palette palette;
    std::vector<Cost> alone, whole, plainOpen;
    for (int i = 0; i < times; ++i) {
        // What the editor does with the text of a page: coloured in, shown.
        alone.push_back(measure(editorPaints, [&] {
            editor()->setUpdatesEnabled(false);
            editor()->loadText(pageText, &palette);
            editor()->setUpdatesEnabled(true);
        }));
        settle(editor());
        // Choosing the page in the main window: read from disk into the browser and the editor.
        whole.push_back(measure(editorPaints, [&] { form->showFileInViews(true); }));
        plain->clear();
        settle(plain.get());
        plainOpen.push_back(measure(plainPaints, [&] { plain->setPlainText(pageText); }));
    }
    std::printf("opening (ms)                    wall: median      p95      max |      cpu: "
                "median      p95      max\n");
    printRow("editor alone, coloured", alone);
    printRow("browser + editor (file)", whole);
    printRow("plain QPlainTextEdit", plainOpen);
}

void Bench::run(int rounds, int onlyPlace)
{
    printLoadAverage("before");
    measureOpening(3);
    if (view->viewerFile() != pagePath || editor()->textLength() != pageText.size()) {
        std::fprintf(stderr, "typing_bench: the editor did not load the page\n");
        return;
    }
    editor()->setFocus();
    std::printf("page: %lld characters, %d lines; editor %dx%d\n",
        static_cast<long long>(pageText.size()), editor()->document()->blockCount(),
        editor()->width(), editor()->height());

    PaintCounter editorPaints(editor()->viewport());
    PaintCounter plainPaints(plain->viewport());
    const std::vector<int> places = typingPlaces(pageText);
    std::vector<std::vector<Cost>> oursAt(places.size()), theirsAt(places.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < places.size(); ++i) {
            if (onlyPlace >= 0 && size_t(onlyPlace) != i)
                continue;
            typeAt(editor(), editorPaints, places[i], &oursAt[i]);
            typeAt(plain.get(), plainPaints, places[i], &theirsAt[i]);
        }
    }
    std::vector<Cost> ours, theirs;
    for (size_t i = 0; i < places.size(); ++i) {
        ours.insert(ours.end(), oursAt[i].begin(), oursAt[i].end());
        theirs.insert(theirs.end(), theirsAt[i].begin(), theirsAt[i].end());
    }
    std::printf("keystrokes (ms, %zu each)        wall: median      p95      max |      cpu: "
                "median      p95      max\n",
        ours.size());
    printRow("editor docked, coloured", ours);
    printRow("plain QPlainTextEdit", theirs);
    std::printf("ratio editor / plain (median wall): %.2f\n", median(ours) / median(theirs));
    std::printf("by place (editor | plain)\n");
    for (size_t i = 0; i < places.size(); ++i) {
        if (oursAt[i].empty())
            continue;
        printRow(kPlaceNames[i], oursAt[i]);
        printRow("", theirsAt[i]);
    }
    std::printf("tag hint shown: %s\n", qPrintable(view->tagHintField()->text().left(60)));
    if (editor()->text() != plain->toPlainText())
        std::printf("the two texts differ after typing\n");
    if (missedPaints)
        std::printf("%d keystrokes painted nothing within 2 s\n", missedPaints);
    printLoadAverage("after");
    view->setEditorNotModified(); // nothing to ask at the end
}

} // namespace

int main(int argc, char **argv)
{
    platform::prepareHeadlessApplicationStart();
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 3;
    Bench bench;
    if (!bench.start())
        return 1;
    bench.run(rounds, argc > 2 ? QByteArray(argv[2]).toInt() : -1);
    return 0;
}
