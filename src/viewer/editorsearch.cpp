#include "viewer/editorsearch.h"

#include "editor/editorfile.h"
#include "editor/textsearch.h"
#include "frame/pageframe.h"
#include "frame/settings.h"
#include "platform/dialogs.h"
#include "viewer/editorsettings.h"
#include "viewer/replacedialog.h"
#include "viewer/sourceeditor.h"

namespace viewer {

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

EditorSearch::EditorSearch(frame::PageFrame *host, SourceEditor *editor, QWidget *dialogParent)
    : QObject(dialogParent)
    , m_host(host)
    , m_editor(editor)
    , m_dialogParent(dialogParent)
{ }

void EditorSearch::start()
{
    if (!m_dialog) {
        m_dialog = new ReplaceDialog(m_dialogParent);
        connect(m_dialog, &ReplaceDialog::findNext, this, &EditorSearch::findNext);
        connect(m_dialog, &ReplaceDialog::replace, this, &EditorSearch::replaceFound);
        connect(m_dialog, &ReplaceDialog::replaceAll, this, &EditorSearch::replaceAll);
    }
    const EditorSettings settings
        = m_host ? editorSettingsOf(m_host->settings()) : EditorSettings();
    m_dialog->setFindText(settings.lastSearch);
    m_dialog->setReplaceText(settings.lastReplace);
    placeDialog();
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

// The dialog belongs to the window that shows the editor now, the main window while it
// borrows the editor; opened anew, it stands over the editor.
void EditorSearch::placeDialog()
{
    QWidget *owner = m_editor->window();
    if (m_dialog->parentWidget() != owner)
        m_dialog->setParent(owner, m_dialog->windowFlags()); // hides it
    if (m_dialog->isVisible())
        return;
    m_dialog->adjustSize();
    QRect frame = m_dialog->frameGeometry();
    frame.moveCenter(m_editor->mapToGlobal(m_editor->rect().center()));
    m_dialog->move(frame.topLeft());
}

bool EditorSearch::searchNext()
{
    const QString what = m_dialog->findText();
    const QTextCursor cursor = m_editor->textCursor();
    const qsizetype from = cursor.hasSelection() ? cursor.selectionEnd() : 0;
    const qsizetype at = editor::findForward(m_editor->text(), from, what, m_dialog->options());
    if (at < 0) {
        platform::dialogs().ShowInfo(quoted(what) + QStringLiteral(" not found."));
        return false;
    }
    if (m_editor->isVisible() && m_editor->isEnabled())
        m_editor->setFocus();
    QTextCursor found = m_editor->textCursor();
    found.setPosition(int(at));
    found.setPosition(int(at + what.size()), QTextCursor::KeepAnchor);
    m_editor->setTextCursor(found);
    return true;
}

void EditorSearch::rememberSearch()
{
    if (!m_host)
        return;
    EditorSettings settings = editorSettingsOf(m_host->settings());
    settings.lastSearch = m_dialog->findText();
    settings.lastReplace = m_dialog->replaceText();
    storeEditorSettings(m_host->settings(), settings);
}

void EditorSearch::findNext()
{
    searchNext();
    rememberSearch();
}

void EditorSearch::replaceFound()
{
    const QString replacement = m_dialog->replaceText();
    if (searchNext() && m_editor->fitsLimit(replacement.size(), m_dialog->findText().size())) {
        QTextCursor cursor = m_editor->textCursor();
        const int start = cursor.selectionStart();
        cursor.insertText(replacement);
        cursor.setPosition(start);
        cursor.setPosition(start + int(replacement.size()), QTextCursor::KeepAnchor);
        m_editor->setTextCursor(cursor);
        Q_EMIT replaced();
    }
    rememberSearch();
}

void EditorSearch::replaceAll()
{
    const QString what = m_dialog->findText();
    const QString replacement = m_dialog->replaceText();
    if (searchNext()) {
        const qsizetype first = m_editor->textCursor().selectionStart();
        QList<qsizetype> found
            = editor::occurrencesFrom(m_editor->text(), first, what, m_dialog->options());
        // Stops where the next replacement would take the text past the limit.
        const qsizetype growth = replacement.size() - what.size();
        const qsizetype room = editor::kMaxEditorLength - m_editor->textLength();
        if (growth > 0 && found.size() * growth > room) {
            platform::dialogs().beep();
            found.resize(room / growth);
        }
        QTextCursor cursor = m_editor->textCursor();
        cursor.beginEditBlock();
        for (auto it = found.crbegin(); it != found.crend(); ++it) {
            cursor.setPosition(int(*it));
            cursor.setPosition(int(*it + what.size()), QTextCursor::KeepAnchor);
            cursor.insertText(replacement);
        }
        cursor.endEditBlock();
        Q_EMIT replaced();
        platform::dialogs().ShowInfo(quoted(what) + QStringLiteral(", Replace done: ")
            + QString::number(found.size()) + QStringLiteral(" times"));
    }
    rememberSearch();
}

} // namespace viewer
