#include "viewer/sourceeditor.h"

#include "editor/colourscan.h"
#include "editor/editorfile.h"
#include "editor/rtfreader.h"
#include "editor/rtfwriter.h"
#include "platform/dialogs.h"
#include "platform/hourglass.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPalette>
#include <QScrollBar>
#include <QTextBlock>

#include <iterator>

namespace viewer {

namespace {

QFont editorFont()
{
    QFont font(QStringLiteral("Courier New"), 9);
    if (QFontInfo(font).family() != font.family()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(9);
    }
    return font;
}

QTextCharFormat colourFormat(int colour)
{
    QTextCharFormat format;
    format.setForeground(toQColor(colour));
    return format;
}

// The stretches of [from, to) whose characters do not have the format; a line break counts
// with the format the document keeps for it (the next block's character format).
QList<editor::TextRange> stretchesNotIn(
    const QTextDocument &document, qsizetype from, qsizetype to, const QTextCharFormat &format)
{
    QList<editor::TextRange> stretches;
    const auto visit = [&](qsizetype start, qsizetype end, const QTextCharFormat &held) {
        start = qMax(start, from);
        end = qMin(end, to);
        if (start >= end || held == format)
            return;
        if (!stretches.isEmpty() && stretches.last().start + stretches.last().length == start)
            stretches.last().length += end - start;
        else
            stretches.append({ start, end - start });
    };
    // Positions are counted along, not asked for: each question searches the whole document.
    QTextBlock block = document.findBlock(int(from));
    for (qsizetype at = block.position(); block.isValid() && at < to; block = block.next()) {
        qsizetype fragmentAt = at;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            visit(fragmentAt, fragmentAt + fragment.length(), fragment.charFormat());
            fragmentAt += fragment.length();
        }
        at += block.length();
        if (block.next().isValid())
            visit(at - 1, at, block.next().charFormat());
    }
    return stretches;
}

// Typed characters are those with a printable text, Enter and TAB; command keys have none.
bool isTypedKey(const QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    const QChar c = text.front();
    return c.isPrint() || c == u'\r' || c == u'\t';
}

// Keeps the caret, the modified flag and the hourglass around a replacement of the text.
// (The control is not disabled meanwhile: no input can arrive, and disabling would take the
// keyboard focus away from it.)
class ReplacementGuard
{
public:
    explicit ReplacementGuard(SourceEditor *control)
        : m_control(control)
        , m_caret(control->textCursor().selectionStart())
        , m_modified(control->document()->isModified())
    { }
    ~ReplacementGuard()
    {
        QTextCursor cursor = m_control->textCursor();
        cursor.setPosition(int(qMin(m_caret, m_control->textLength())));
        m_control->setTextCursor(cursor);
        m_control->document()->setModified(m_modified);
    }
    ReplacementGuard(const ReplacementGuard &) = delete;
    ReplacementGuard &operator=(const ReplacementGuard &) = delete;

private:
    SourceEditor *m_control;
    qsizetype m_caret;
    bool m_modified;
    platform::HourglassGuard m_hourglass;
};

// The platform's nearest colour for each Windows system colour index.
QPalette::ColorRole systemColourRole(int index)
{
    static constexpr QPalette::ColorRole kRoles[] = {
        QPalette::Button, // scroll bar
        QPalette::Window, // desktop
        QPalette::Highlight, // active caption
        QPalette::Mid, // inactive caption
        QPalette::Window, // menu
        QPalette::Base, // window
        QPalette::Shadow, // window frame
        QPalette::WindowText, // menu text
        QPalette::Text, // window text
        QPalette::HighlightedText, // caption text
        QPalette::Button, // active border
        QPalette::Button, // inactive border
        QPalette::Mid, // application workspace
        QPalette::Highlight, // highlight
        QPalette::HighlightedText, // highlighted text
        QPalette::Button, // button face
        QPalette::Dark, // button shadow
        QPalette::PlaceholderText, // grey text
        QPalette::ButtonText, // button text
        QPalette::WindowText, // inactive caption text
        QPalette::Light, // button highlight
        QPalette::Shadow, // dark shadow
        QPalette::Midlight, // light
        QPalette::ToolTipText, // info text
        QPalette::ToolTipBase, // info background
        QPalette::Window, // (unused)
        QPalette::Link, // hot-tracked item
        QPalette::Highlight, // active caption gradient
        QPalette::Mid, // inactive caption gradient
        QPalette::Highlight, // menu highlight
        QPalette::Window, // menu bar
    };
    return index < int(std::size(kRoles)) ? kRoles[index] : QPalette::Text;
}

int resolvedColour(int colour)
{
    if (colour >= 0)
        return colour;
    return fromQColor(QGuiApplication::palette().color(systemColourRole(colour & 0xFF)));
}

} // namespace

SourceEditorHandler::~SourceEditorHandler() = default;

editor::Palette resolveSystemColours(const editor::Palette &palette)
{
    return { resolvedColour(palette.textColor), resolvedColour(palette.tagColor),
        resolvedColour(palette.quotedColor), resolvedColour(palette.commentColor) };
}

QColor toQColor(int colour)
{
    return QColor(editor::redOf(colour), editor::greenOf(colour), editor::blueOf(colour));
}

int fromQColor(const QColor &colour)
{
    return editor::colourFromRgb(colour.red(), colour.green(), colour.blue());
}

SourceEditor::SourceEditor(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("REScreen"));
    setFont(editorFont());
    document()->setDefaultFont(font());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
    setTabStopDistance(fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 8);
    setToolTip(QStringLiteral("[CTRL-Z] = UnDo ,  [CTRL-S] = Save ,  [CTRL-F] = Search/Replace"));
    setEnabled(false);
}

QString SourceEditor::text() const
{
    QString raw = document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, u'\n');
    return raw;
}

qsizetype SourceEditor::textLength() const
{
    return document()->characterCount() - 1;
}

QString SourceEditor::textRange(qsizetype from, qsizetype length) const
{
    // A cursor lays out the block of every position it is moved to: it starts at the block
    // (which costs nothing) and moves once, to the end.
    const qsizetype end = qBound<qsizetype>(0, from + length, textLength());
    from = qBound<qsizetype>(0, from, end);
    const QTextBlock first = document()->findBlock(int(from));
    QTextCursor cursor(first);
    cursor.setPosition(int(end), QTextCursor::KeepAnchor);
    return cursor.selectedText().sliced(from - first.position());
}

editor::TextFetch SourceEditor::fetcher() const
{
    return [this](qsizetype from, qsizetype length) { return textRange(from, length); };
}

int SourceEditor::colourOfCharacter(qsizetype position) const
{
    const QTextBlock block = document()->findBlock(int(position));
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (position < fragment.position() + fragment.length())
            return fromQColor(fragment.charFormat().foreground().color());
    }
    return fromQColor(block.charFormat().foreground().color());
}

editor::CaretRecord SourceEditor::recordAt(qsizetype position) const
{
    if (position <= 0 || position > textLength())
        return { fromQColor(currentCharFormat().foreground().color()), QChar() };
    const QChar c = document()->characterAt(int(position - 1));
    return { colourOfCharacter(position - 1), c == QChar::ParagraphSeparator ? QChar(u'\n') : c };
}

editor::CaretContext SourceEditor::caretContext() const
{
    const qsizetype caret = textCursor().selectionStart();
    return { recordAt(caret), recordAt(caret + 1) };
}

void SourceEditor::setTypingColour(int colour)
{
    setCurrentCharFormat(colourFormat(colour));
}

bool SourceEditor::fitsLimit(qsizetype added, qsizetype removed) const
{
    if (textLength() - removed + added <= editor::kMaxEditorLength)
        return true;
    platform::dialogs().beep();
    return false;
}

bool SourceEditor::insertColouredText(
    const QString &text, bool whole, const editor::Palette &palette)
{
    return replaceWithColouredRuns(text, whole, &palette);
}

bool SourceEditor::insertPlain(const QString &text, bool whole)
{
    return replaceWithColouredRuns(text, whole, nullptr);
}

void SourceEditor::loadText(const QString &text, const editor::Palette *palette)
{
    setUndoRedoEnabled(false);
    {
        ReplacementGuard guard(this);
        if (text.isEmpty())
            clear();
        else
            replaceWithColouredRuns(text, true, palette);
    }
    setUndoRedoEnabled(true);
    document()->setModified(false);
    moveCursor(QTextCursor::Start);
}

bool SourceEditor::replaceWithColouredRuns(
    const QString &text, bool whole, const editor::Palette *palette)
{
    if (text.isEmpty())
        return false;
    QTextCursor cursor = textCursor();
    const qsizetype removed
        = whole ? textLength() : cursor.selectionEnd() - cursor.selectionStart();
    if (!fitsLimit(editor::toLfLineBreaks(text).size(), removed))
        return false;
    editor::ColouredText coloured;
    if (palette) {
        QString error;
        // Our own writer's output; a failure would be a fault of ours, shown rather than lost.
        if (!editor::readColouredRtf(editor::BuildColouredRtf(text, *palette), &coloured, &error)) {
            platform::dialogs().errorBox(error);
            return false;
        }
    } else {
        coloured.text = editor::toLfLineBreaks(text);
        coloured.spans.append(
            { 0, coloured.text.size(), fromQColor(currentCharFormat().foreground().color()) });
    }
    ReplacementGuard guard(this);
    if (whole)
        cursor.select(QTextCursor::Document);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    QHash<int, QTextCharFormat> formats;
    for (const editor::ColourSpan &span : std::as_const(coloured.spans)) {
        auto format = formats.find(span.colour);
        if (format == formats.end())
            format = formats.insert(span.colour, colourFormat(span.colour));
        cursor.insertText(coloured.text.mid(span.start, span.length), *format);
    }
    cursor.endEditBlock();
    return true;
}

void SourceEditor::recolourRange(editor::TextRange range, const editor::Palette &palette)
{
    if (!range.isValid())
        return;
    const QString text = textRange(range.start, range.length);
    QTextCursor cursor(document());
    bool editing = false;
    for (const editor::ColourRun &run : editor::colourRuns(text)) {
        const QTextCharFormat format = colourFormat(palette.colourOf(run.cls));
        const qsizetype start = range.start + run.start;
        // Only what changes colour is set: setting a whole tag of lines lays them all out
        // again and repaints the view, for every keystroke.
        for (const editor::TextRange &stretch :
            stretchesNotIn(*document(), start, start + run.length, format)) {
            if (!editing)
                cursor.joinPreviousEditBlock();
            editing = true;
            cursor.setPosition(int(stretch.start));
            cursor.setPosition(int(stretch.start + stretch.length), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
    if (editing)
        cursor.endEditBlock();
}

void SourceEditor::keyPressEvent(QKeyEvent *event)
{
    if (m_handler && m_handler->editorKeyPressed(event))
        return;
    if (isTypedKey(event)) {
        const QTextCursor cursor = textCursor();
        if (!fitsLimit(1, cursor.selectionEnd() - cursor.selectionStart()))
            return;
        if (m_handler)
            m_handler->editorCharTyped(event->text().front());
    }
    QPlainTextEdit::keyPressEvent(event);
    if (m_handler)
        m_handler->editorChanged();
}

void SourceEditor::insertFromMimeData(const QMimeData *source)
{
    const QTextCursor cursor = textCursor();
    if (source->hasText()
        && !fitsLimit(editor::toLfLineBreaks(source->text()).size(),
            cursor.selectionEnd() - cursor.selectionStart()))
        return;
    QPlainTextEdit::insertFromMimeData(source);
}

} // namespace viewer
