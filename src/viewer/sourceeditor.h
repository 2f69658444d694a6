#pragma once

#include "editor/palette.h"
#include "editor/tagrange.h"
#include "editor/typingcolour.h"

#include <QPlainTextEdit>

namespace viewer {

// Where the editor control's keys go; the viewer window implements it.
class SourceEditorHandler
{
public:
    virtual ~SourceEditorHandler();
    // Every key first; true swallows it.
    virtual bool editorKeyPressed(QKeyEvent *event) = 0;
    // A character the control is about to type (keys the key-down handler left alone).
    virtual void editorCharTyped(QChar typed) = 0;
    // After the control has handled a key.
    virtual void editorChanged() = 0;
};

// The editor control: plain text whose characters carry colours, at most
// editor::kMaxEditorLength characters (a line break counts as one), no wrap.
class SourceEditor : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit SourceEditor(QWidget *parent = nullptr);

    void setHandler(SourceEditorHandler *handler) { m_handler = handler; }

    // The text with LF line breaks; nothing else is changed (non-breaking spaces stay).
    QString text() const;
    qsizetype textLength() const;
    QString textRange(qsizetype from, qsizetype length) const;
    editor::TextFetch fetcher() const;

    // The colour (0x00BBGGRR) and the character before an insertion point.
    editor::CaretRecord recordAt(qsizetype position) const;
    editor::CaretContext caretContext() const;
    int colourOfCharacter(qsizetype position) const;

    // The colour of what is typed next (at the caret, nothing selected).
    void setTypingColour(int colour);

    // Whether replacing `removed` characters with `added` keeps within the limit; beeps
    // when it does not.
    bool fitsLimit(qsizetype added, qsizetype removed) const;

    // Replaces the selection, or everything when whole is set, by the text coloured with
    // the palette, in one edit block; the caret and the modified flag are kept. Nothing
    // happens for an empty text or one that would pass the limit (false).
    bool insertColouredText(const QString &text, bool whole, const editor::Palette &palette);
    // The same without colours.
    bool insertPlain(const QString &text, bool whole);
    // Loads a page: the whole text, coloured or plain, no undo history, caret at the start.
    void loadText(const QString &text, const editor::Palette *palette);
    // Colours a range by the classes of the coloured source; a comment that does not end
    // within the range keeps its colours. Joined to the last edit, so one undo takes both.
    void recolourRange(editor::TextRange range, const editor::Palette &palette);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    bool replaceWithColouredRuns(const QString &text, bool whole, const editor::Palette *palette);

    SourceEditorHandler *m_handler = nullptr;
};

QColor toQColor(int colour);
int fromQColor(const QColor &colour);
// The palette with Windows system colours (negative values, the index of the system's colour
// in the low byte, as a settings file from Windows may hold them) as this platform's colours.
editor::Palette resolveSystemColours(const editor::Palette &palette);

} // namespace viewer
