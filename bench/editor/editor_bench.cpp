#include "../formatter/benchpage.h"

#include "editor/editorfile.h"
#include "editor/palette.h"
#include "formatter/formatselection.h"
#include "formatter/style.h"
#include "platform/dialogs.h"
#include "platform/startup.h"
#include "support/standinframe.h"
#include "viewer/sourceeditor.h"
#include "viewer/viewerwindow.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

class BenchHost : public StandInFrame
{
public:
    QString currentFile() const override { return QStringLiteral("page.htm"); }
    formatter::Style *formatterStyle() override { return &style; }

    formatter::Style style;
};

// A message box would wait for a click for ever: every message fails the benchmark instead.
class NoDialogs : public platform::Dialogs
{
public:
    void ShowInfo(const QString &text) override { messages.append(text); }
    bool AskYesNo(const QString &text) override { return messages.append(text), false; }
    platform::Answer AskYesNoCancel(const QString &text) override
    {
        return messages.append(text), platform::Answer::Cancel;
    }
    void errorBox(const QString &text) override { messages.append(text); }
    void plainMessage(const QString &text) override { messages.append(text); }
    void beep() override { messages.append(QStringLiteral("beep")); }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QStringList openFileNames(const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }

    QStringList messages;
};

NoDialogs &noDialogs()
{
    static NoDialogs dialogs;
    return dialogs;
}

void failOnMessages(benchmark::State &state)
{
    if (!noDialogs().messages.isEmpty())
        state.SkipWithError(noDialogs().messages.constFirst().toStdString().c_str());
}

formatter::Style shippedStyle()
{
    formatter::Style style;
    formatter::LoadProgramStyle(
        style, QCoreApplication::applicationDirPath(), QStringLiteral("THUMBS"));
    return style;
}

// The page as the editor holds it, LF line breaks, as long as it can be while its formatted
// text still fits into the editor: an already formatted page, which "Format" keeps about as
// long. Typing one more character must fit too.
const QString &page()
{
    static const QString text = [] {
        formatter::Style style = shippedStyle();
        QString formatted = editor::toLfLineBreaks(formatter::FormatSelection(style,
            benchmarkPage(editor::kMaxEditorLength), QString(), formatter::FormatMode::Format));
        formatted.truncate(formatted.lastIndexOf(u'\n', editor::kMaxEditorLength - 20'000) + 1);
        return formatted;
    }();
    return text;
}

void BM_OpenColoured(benchmark::State &state)
{
    viewer::SourceEditor control;
    control.resize(1000, 700);
    control.show();
    const editor::Palette palette;
    for (auto _ : state) {
        control.loadText(page(), &palette);
        control.repaint();
    }
    failOnMessages(state);
    state.counters["chars"] = double(page().size());
}

void BM_OpenPlainTextEdit(benchmark::State &state)
{
    QPlainTextEdit control;
    control.setLineWrapMode(QPlainTextEdit::NoWrap);
    control.resize(1000, 700);
    control.show();
    for (auto _ : state) {
        control.setPlainText(page());
        control.repaint();
    }
    state.counters["chars"] = double(page().size());
}

// The viewer window on its editor page, shown.
viewer::SourceEditor *showEditorPage(viewer::ViewerWindow &form)
{
    form.pages()->setCurrentIndex(1);
    form.resize(1000, 700);
    form.show();
    form.editor()->setEnabled(true);
    return form.editor();
}

// The caret on a ">" in the middle of the page.
void placeCaretMidway(QPlainTextEdit &control)
{
    QTextCursor cursor = control.textCursor();
    cursor.setPosition(int(page().indexOf(u'>', page().size() / 2)));
    control.setTextCursor(cursor);
    control.setFocus();
}

// One typed ">" in the middle of the page, with the tag around it coloured again and the
// control repainted.
void BM_KeystrokeColoured(benchmark::State &state)
{
    BenchHost host;
    viewer::ViewerWindow form(&host);
    viewer::SourceEditor *control = showEditorPage(form);
    const editor::Palette palette;
    control->loadText(page(), &palette);
    placeCaretMidway(*control);
    for (auto _ : state) {
        QTest::keyClick(control, '>');
        control->repaint();
    }
    failOnMessages(state);
}

void BM_KeystrokePlainTextEdit(benchmark::State &state)
{
    QPlainTextEdit control;
    control.setLineWrapMode(QPlainTextEdit::NoWrap);
    control.resize(1000, 700);
    control.show();
    control.setPlainText(page());
    placeCaretMidway(control);
    for (auto _ : state) {
        QTest::keyClick(&control, '>');
        control.repaint();
    }
}

// "Format" of the whole page and the result put back coloured.
void BM_FormatColoured(benchmark::State &state)
{
    BenchHost host;
    host.style = shippedStyle();
    viewer::ViewerWindow form(&host);
    viewer::SourceEditor *control = showEditorPage(form);
    const editor::Palette palette;
    for (auto _ : state) {
        state.PauseTiming();
        control->loadText(page(), &palette);
        state.ResumeTiming();
        form.formatText();
        control->repaint();
    }
    failOnMessages(state);
    state.counters["chars"] = double(page().size());
    state.counters["result_chars"] = double(control->textLength());
}

} // namespace

BENCHMARK(BM_OpenColoured)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPlainTextEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeColoured)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokePlainTextEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatColoured)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    platform::prepareHeadlessApplicationStart();
    QApplication app(argc, argv);
    platform::setDialogs(&noDialogs());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
