// The editor page of the viewer window: "Format", the colour presets, the tag hint and keys.
#include "viewer/viewereditor.h"

#include "editor/tagrange.h"
#include "formatter/formatselection.h"
#include "frame/pageframe.h"
#include "frame/settings.h"
#include "platform/dialogs.h"
#include "platform/hourglass.h"
#include "viewer/editorsettings.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>

namespace viewer {

// --- Format, colours and the tag hint ----------------------------------------------------

void ViewerEditor::formatText()
{
    formatter::Style *style = m_host ? m_host->formatterStyle() : nullptr;
    if (!editable() || !style)
        return;
    QString result;
    {
        platform::HourglassGuard hourglass;
        const QString text = m_editor->text();
        const QString indent = formatter::SelectionIndent(text);
        result = formatter::FormatSelection(*style, text, indent, formatter::FormatMode::Format);
    }
    if (editor::toLfLineBreaks(result).size() > editor::kMaxEditorLength) {
        platform::dialogs().ShowInfo(QStringLiteral("The formatted text would have more than "
                                                    "2,000,000 characters: the editor keeps "
                                                    "the text as it was."));
        return;
    }
    m_editor->setUpdatesEnabled(false);
    // Everything selected: the caret that the insertion keeps is at the start.
    m_editor->selectAll();
    if (colouring())
        m_editor->insertColouredText(result, true, palette());
    else
        m_editor->insertPlain(result, true);
    m_editor->setUpdatesEnabled(true);
    setEditorModified();
}

void ViewerEditor::repaintWithPreset(int preset)
{
    if (m_host) {
        EditorSettings settings = editorSettingsOf(m_host->settings());
        settings.palette = editor::presetPalette(preset);
        storeEditorSettings(m_host->settings(), settings);
    }
    if (!colouring())
        return;
    const int firstLine = m_editor->verticalScrollBar()->value();
    m_editor->setUpdatesEnabled(false);
    m_editor->insertColouredText(m_editor->text(), true, palette());
    m_editor->verticalScrollBar()->setValue(firstLine);
    m_editor->setUpdatesEnabled(true);
    if (m_editor->isVisible() && m_editor->isEnabled())
        m_editor->setFocus();
}

void ViewerEditor::showTagHint()
{
    const QStringList table = m_host ? m_host->tagSyntaxTable() : QStringList();
    if (table.isEmpty())
        return;
    const editor::TextRange range = editor::locateTagAroundCaret(
        m_editor->fetcher(), m_editor->textCursor().position(), m_editor->textLength());
    if (!range.isValid())
        return;
    const QString name = editor::locatedTagName(m_editor->fetcher(), range);
    m_tagHintField->setText(editor::lookupTagHint(table, name));
    // The tag's name begins the hint: show the start, also where the field has the focus.
    m_tagHintField->setCursorPosition(0);
}

void ViewerEditor::insertTagHint()
{
    const QString hint = m_tagHintField->text();
    if (hint.isEmpty() || m_pages->currentWidget() != m_tab || !hint.startsWith(u'<'))
        return;
    const QString insert
        = m_tagHintField->hasSelectedText() ? m_tagHintField->selectedText() : hint;
    const int start = m_editor->textCursor().selectionStart();
    const bool inserted = colouring() ? m_editor->insertColouredText(insert, false, palette())
                                      : m_editor->insertPlain(insert, false);
    if (!inserted)
        return;
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + int(insert.size()), QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
    m_editor->setFocus();
    setEditorModified();
}

// --- Keys --------------------------------------------------------------------------------

bool ViewerEditor::editorKeyPressed(QKeyEvent *event)
{
    m_keyState = 0;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    const int key = event->key();
    bool swallowed = false;
    if (ctrl && key >= Qt::Key_1 && key <= Qt::Key_4) {
        const int preset = key - Qt::Key_1 + 1;
        if (m_repaint[preset - 1]->isEnabled())
            repaintWithPreset(preset);
        return true;
    } else if (ctrl && (key == Qt::Key_F || key == Qt::Key_R)) {
        startSearchReplace();
        return true;
    } else if (shift && key == Qt::Key_F1) {
        insertTagHint();
        return true;
    } else if (key == Qt::Key_Escape) {
        m_keyState = 1;
    } else if (key == Qt::Key_Backspace) {
        m_keyState = 8;
    } else if (key == Qt::Key_Delete) {
        m_keyState = 46;
    } else if ((shift && key == Qt::Key_Insert) || (ctrl && key == Qt::Key_V)) {
        m_keyState = 22;
        if (colouring()) {
            pasteColoured();
            swallowed = true;
        }
    } else if (ctrl && key == Qt::Key_S) {
        m_keyState = 1;
        if (m_save->isEnabled())
            saveFile();
        swallowed = true;
    } else if (ctrl && key == Qt::Key_X) {
        m_keyState = 24;
    } else if (ctrl) {
        m_keyState = 1;
    }
    if (m_keyState > 1) {
        m_caretContext = m_editor->caretContext();
        setEditorModified();
    }
    return swallowed;
}

void ViewerEditor::editorCharTyped(QChar typed)
{
    m_caretContext = m_editor->caretContext();
    setEditorModified();
    if (!colouring())
        return;
    const int colour = editor::typingColour(typed, m_caretContext, palette());
    if (!m_editor->textCursor().hasSelection())
        m_editor->setTypingColour(colour);
    if (editor::changesTagColours(typed))
        m_keyState = typed.unicode();
}

void ViewerEditor::editorChanged()
{
    const bool typedTrigger
        = m_keyState != 8 && m_keyState != 46 && editor::changesTagColours(QChar(m_keyState));
    const bool deletedTrigger
        = (m_keyState == 8 && editor::changesTagColours(m_caretContext.before.character))
        || (m_keyState == 46 && editor::changesTagColours(m_caretContext.after.character));
    m_keyState = 0;
    if ((typedTrigger || deletedTrigger) && colouring())
        recolourTagAroundCaret();
}

void ViewerEditor::recolourTagAroundCaret()
{
    const editor::TextRange range = editor::locateTagAroundCaret(
        m_editor->fetcher(), m_editor->textCursor().position(), m_editor->textLength());
    if (!range.isValid())
        return;
    const bool modified = m_editor->document()->isModified();
    m_editor->recolourRange(range, palette());
    m_editor->document()->setModified(modified);
    if (m_editor->isVisible() && m_editor->isEnabled())
        m_editor->setFocus();
}

void ViewerEditor::pasteColoured()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return;
    m_editor->insertColouredText(data->text(), false, palette());
    m_editor->setFocus();
}

} // namespace viewer
