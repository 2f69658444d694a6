// The editor page of the viewer window: loading, the modified state, saving, "Format",
// colouring presets, keys, tag hints and find/replace.
#include "viewer/viewerwindow.h"

#include "editor/tagrange.h"
#include "editor/textsearch.h"
#include "editor/textspot.h"
#include "engine/htmlview.h"
#include "folderview/fileops.h"
#include "formatter/formatselection.h"
#include "frame/page.h"
#include "frame/pageframe.h"
#include "frame/settings.h"
#include "kit/textfit.h"
#include "platform/dialogs.h"
#include "platform/hourglass.h"
#include "platform/pathrules.h"
#include "viewer/editorsettings.h"
#include "viewer/replacedialog.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QToolButton>

namespace viewer {

namespace {

const QString kPictureNotice
    = QStringLiteral("\n  Sorry, pictures cannot be displayed in editor ...");
const QString kUnsaved = QStringLiteral(" --- UNSAVED ---");

bool isPicture(const QString &path)
{
    const QString extension = QLatin1Char('.') + QFileInfo(path).suffix().toUpper();
    return extension == QLatin1String(".JPG") || extension == QLatin1String(".GIF");
}

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

QWidget *ViewerWindow::buildEditorToolbar()
{
    auto *bar = new QWidget(m_tabEditor);
    bar->setObjectName(QStringLiteral("PanelEditorTop"));
    bar->setAutoFillBackground(true);
    QPalette barPalette = bar->palette();
    barPalette.setColor(QPalette::Window, QColor(128, 128, 128));
    barPalette.setColor(QPalette::WindowText, Qt::white);
    bar->setPalette(barPalette);

    m_save = new QPushButton(QStringLiteral("Save"), bar);
    m_save->setObjectName(QStringLiteral("BSave"));
    m_save->setToolTip(QStringLiteral("[CTRL-S] = Save current file"));
    m_format = new QPushButton(QStringLiteral("Format"), bar);
    m_format->setObjectName(QStringLiteral("BFormat"));
    m_format->setToolTip(QStringLiteral("Format HTML source code"));
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(2, 1, 12, 1); // the hint field ends 12 pixels before the edge
    layout->setSpacing(2);
    layout->addWidget(m_save);
    layout->addWidget(m_format);
    for (int preset = 1; preset <= 4; ++preset) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QStringLiteral("BRepaint%1").arg(preset));
        button->setText(QString::number(preset));
        button->setToolTip(QString::fromLatin1(editor::presetHint(preset)));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, preset] { repaintWithPreset(preset); });
        layout->addWidget(button);
        m_repaint[preset - 1] = button;
    }
    m_labelTagSyntax = new QLabel(QStringLiteral("  Tag Syntax:"), bar);
    m_tagHintField = new QLineEdit(bar);
    m_tagHintField->setObjectName(QStringLiteral("Edit1"));
    m_tagHintField->setReadOnly(true);
    kit::showTextStart(m_tagHintField);
    layout->addWidget(m_labelTagSyntax);
    layout->addSpacing(6 - layout->spacing()); // the hint field starts 6 pixels further
    layout->addWidget(m_tagHintField, 1);

    connect(m_save, &QPushButton::clicked, this, &ViewerWindow::saveFile);
    connect(m_format, &QPushButton::clicked, this, &ViewerWindow::formatText);
    connect(m_editor, &QPlainTextEdit::cursorPositionChanged, this, &ViewerWindow::showTagHint);
    connect(m_editor, &QPlainTextEdit::selectionChanged, this, &ViewerWindow::showTagHint);
    connect(m_editor->document(), &QTextDocument::modificationChanged, this, [this] {
        updateCaption();
        setButtonState();
    });
    connect(m_editor, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (m_host)
            m_host->showContextMenu(m_editor->viewport()->mapToGlobal(pos));
    });
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
    return bar;
}

// --- Loading and the modified state ------------------------------------------------------

void ViewerWindow::loadEditorText(const QString &path)
{
    m_editorHoldsFile = false;
    // The last file's hint would stay where the new text has no tag at the caret.
    m_tagHintField->clear();
    if (isPicture(path)) {
        m_viewerFile.clear();
        showEditorNotice(kPictureNotice);
        return;
    }
    m_viewerFile = path;
    const editor::LoadedPage loaded = editor::loadEditorFile(path);
    if (loaded.status == editor::LoadStatus::TooLong) {
        showEditorNotice(QStringLiteral("\n  Sorry, this file has more than 2,000,000 "
                                        "characters and cannot be edited here ..."));
        return;
    }
    if (loaded.status == editor::LoadStatus::Unreadable) {
        showEditorNotice(QStringLiteral("\n  Sorry, this file cannot be read: ") + loaded.error);
        return;
    }
    m_encoding = loaded.page.encoding;
    m_lineEnds = loaded.page.lineEnds;
    m_editor->setEnabled(true);
    m_editor->setUpdatesEnabled(false);
    const editor::Palette colours = palette();
    m_editor->loadText(loaded.page.text, colouring() ? &colours : nullptr);
    m_editor->setTypingColour(colours.textColor);
    m_editor->setUpdatesEnabled(true);
    m_editorHoldsFile = true;
}

void ViewerWindow::showEditorNotice(const QString &notice)
{
    m_editor->loadText(notice, nullptr);
    m_editor->setEnabled(false);
}

void ViewerWindow::selectInEditorOnShow(int line, int column, const QString &text)
{
    m_editorSpot = EditorSpot { line, column, text };
}

void ViewerWindow::showEditorSpot()
{
    if (!m_editorSpot)
        return;
    const EditorSpot spot = *m_editorSpot;
    m_editorSpot.reset();
    m_pages->setCurrentWidget(m_tabEditor);
    const editor::TextSpan span
        = editor::spanNear(m_editor->text(), spot.line, spot.column, spot.text);
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(int(span.start));
    cursor.setPosition(int(span.start + span.length), QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
    m_editor->centerCursor();
    m_editor->setFocus();
}

SourceEditor *ViewerWindow::editor() const
{
    return m_editor;
}

bool ViewerWindow::colouring() const
{
    return !m_host || m_host->settings().colorTags;
}

editor::Palette ViewerWindow::palette() const
{
    return m_host ? resolveSystemColours(editorSettingsOf(m_host->settings()).palette)
                  : editor::Palette();
}

// The editor's own file, not the page's current entry: a report row that vanishes once the
// link it named is mended must not leave the changes since without a file to save them to.
bool ViewerWindow::editable() const
{
    return m_editorHoldsFile && m_editor->isEnabledTo(m_editor->window());
}

void ViewerWindow::updateCaption()
{
    setWindowTitle(m_editor->document()->isModified() ? m_viewerFile + kUnsaved : m_viewerFile);
}

void ViewerWindow::setEditorModified()
{
    m_editor->document()->setModified(true);
    updateCaption();
    setButtonState();
}

void ViewerWindow::setEditorNotModified()
{
    m_editor->document()->setModified(false);
    updateCaption();
    setButtonState();
}

bool ViewerWindow::isEditorModified() const
{
    return m_editor->document()->isModified();
}

void ViewerWindow::setButtonState()
{
    const bool canEdit = editable();
    const bool canSave = canEdit && isEditorModified();
    m_save->setEnabled(canSave);
    m_format->setEnabled(canEdit);
    if (m_host)
        m_host->setSaveButtons(canSave, canEdit);
}

// --- Saving ------------------------------------------------------------------------------

void ViewerWindow::saveFile()
{
    if (m_viewerFile.isEmpty()) {
        platform::dialogs().beep();
        return;
    }
    saveEditorFile(m_viewerFile);
}

bool ViewerWindow::writeEditorFile(const QString &fileName)
{
    QString error;
    // Only text read whole from a page is written: never a notice, nor a cut-off page.
    if (!m_editorHoldsFile) {
        error = QStringLiteral("The editor does not hold the text of this file.");
    } else if (editor::saveEditorFile(fileName, m_editor->text(), m_encoding, m_lineEnds, &error)) {
        Q_EMIT fileSaved(fileName);
        return true;
    }
    // The reason follows the usual advice, which alone would mislead where the page's 8-bit
    // encoding cannot hold a character.
    platform::dialogs().ShowInfo(QStringLiteral("File saving error in:\n") + fileName
        + QStringLiteral("\nPlease check diskspace and writing "
                         "permissions...\n\n")
        + error);
    return false;
}

bool ViewerWindow::saveEditorFile(const QString &fileName)
{
    if (!writeEditorFile(fileName))
        return false;
    // A copy saved under another name must not stand for the viewer file's own time.
    if (fileName == m_viewerFile)
        m_viewerFileTime = QFileInfo(fileName).lastModified();
    m_frameViewer->loadHtmlFile(fileName);
    setEditorNotModified();
    return true;
}

void ViewerWindow::saveEditorFileAs()
{
    if (m_viewerFile.isEmpty()) {
        platform::dialogs().beep();
        return;
    }
    const QString chosen
        = platform::dialogs().saveFileName(QStringLiteral("Save As"), m_viewerFile, QString());
    if (chosen.isEmpty())
        return;
    const QString folder = platform::folderPart(chosen);
    const QString target
        = folderview::BuildTargetFileName(folder, platform::fileNamePart(chosen), QString());
    if (target.isEmpty() || !saveEditorFile(target))
        return;
    if (m_host
        && platform::WithTrailingBackslash(folder)
            == platform::WithTrailingBackslash(m_host->currentFolder()))
        m_host->showSavedCopy(target);
}

bool ViewerWindow::askReloadChangedFile(const QString &currentFile)
{
    if (currentFile.isEmpty() || currentFile != m_viewerFile || !m_viewerFileTime.isValid())
        return false;
    const QDateTime onDisk = QFileInfo(currentFile).lastModified();
    if (!onDisk.isValid() || onDisk == m_viewerFileTime)
        return false;
    m_viewerFileTime = onDisk;
    return platform::dialogs().AskYesNo(QStringLiteral("File: ") + currentFile
        + QStringLiteral("\n has been changed by another "
                         "application.\n\nReload from disk?"));
}

// --- Format, colours and the tag hint ----------------------------------------------------

void ViewerWindow::formatText()
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

void ViewerWindow::repaintWithPreset(int preset)
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

void ViewerWindow::showTagHint()
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

void ViewerWindow::insertTagHint()
{
    const QString hint = m_tagHintField->text();
    if (hint.isEmpty() || m_pages->currentWidget() != m_tabEditor || !hint.startsWith(u'<'))
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

bool ViewerWindow::editorKeyPressed(QKeyEvent *event)
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

void ViewerWindow::editorCharTyped(QChar typed)
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

void ViewerWindow::editorChanged()
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

void ViewerWindow::recolourTagAroundCaret()
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

void ViewerWindow::pasteColoured()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return;
    m_editor->insertColouredText(data->text(), false, palette());
    m_editor->setFocus();
}

// --- Find and replace --------------------------------------------------------------------

void ViewerWindow::startSearchReplace()
{
    if (!m_replaceDialog) {
        m_replaceDialog = new ReplaceDialog(this);
        connect(m_replaceDialog, &ReplaceDialog::findNext, this, &ViewerWindow::findNext);
        connect(m_replaceDialog, &ReplaceDialog::replace, this, &ViewerWindow::replaceFound);
        connect(m_replaceDialog, &ReplaceDialog::replaceAll, this, &ViewerWindow::replaceAll);
    }
    const EditorSettings settings
        = m_host ? editorSettingsOf(m_host->settings()) : EditorSettings();
    m_replaceDialog->setFindText(settings.lastSearch);
    m_replaceDialog->setReplaceText(settings.lastReplace);
    placeReplaceDialog();
    m_replaceDialog->show();
    m_replaceDialog->raise();
    m_replaceDialog->activateWindow();
}

bool ViewerWindow::searchNext()
{
    const QString what = m_replaceDialog->findText();
    const QTextCursor cursor = m_editor->textCursor();
    const qsizetype from = cursor.hasSelection() ? cursor.selectionEnd() : 0;
    const qsizetype at
        = editor::findForward(m_editor->text(), from, what, m_replaceDialog->options());
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

void ViewerWindow::rememberSearch()
{
    if (!m_host)
        return;
    EditorSettings settings = editorSettingsOf(m_host->settings());
    settings.lastSearch = m_replaceDialog->findText();
    settings.lastReplace = m_replaceDialog->replaceText();
    storeEditorSettings(m_host->settings(), settings);
}

void ViewerWindow::findNext()
{
    searchNext();
    rememberSearch();
}

void ViewerWindow::replaceFound()
{
    const QString replacement = m_replaceDialog->replaceText();
    if (searchNext()
        && m_editor->fitsLimit(replacement.size(), m_replaceDialog->findText().size())) {
        QTextCursor cursor = m_editor->textCursor();
        const int start = cursor.selectionStart();
        cursor.insertText(replacement);
        cursor.setPosition(start);
        cursor.setPosition(start + int(replacement.size()), QTextCursor::KeepAnchor);
        m_editor->setTextCursor(cursor);
        setEditorModified();
    }
    rememberSearch();
}

void ViewerWindow::replaceAll()
{
    const QString what = m_replaceDialog->findText();
    const QString replacement = m_replaceDialog->replaceText();
    if (searchNext()) {
        const qsizetype first = m_editor->textCursor().selectionStart();
        QList<qsizetype> found
            = editor::occurrencesFrom(m_editor->text(), first, what, m_replaceDialog->options());
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
        setEditorModified();
        platform::dialogs().ShowInfo(quoted(what) + QStringLiteral(", Replace done: ")
            + QString::number(found.size()) + QStringLiteral(" times"));
    }
    rememberSearch();
}

// --- For the main window and tests -------------------------------------------------------

QPushButton *ViewerWindow::saveButton() const
{
    return m_save;
}

QPushButton *ViewerWindow::formatButton() const
{
    return m_format;
}

QLineEdit *ViewerWindow::tagHintField() const
{
    return m_tagHintField;
}

ReplaceDialog *ViewerWindow::replaceDialog() const
{
    return m_replaceDialog;
}

} // namespace viewer
