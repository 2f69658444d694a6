#include "filelists/sitereplacedialog.h"

#include "platform/dialogs.h"
#include "platform/hourglass.h"
#include "platform/safefile.h"
#include "replace/unifieddiff.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace filelists {

namespace {

// Reading yields to the window after this long, so that typing and "Stop" stay live.
constexpr qint64 kSliceMs = 30;
constexpr int kPlanRole = Qt::UserRole;
constexpr int kEditRole = Qt::UserRole + 1;
enum Column { FileColumn, BeforeColumn, AfterColumn };

constexpr replace::Scope kScopes[] = {
    replace::Scope::All, replace::Scope::Text, replace::Scope::Attributes, replace::Scope::Tags };

} // namespace

SiteReplaceDialog::SiteReplaceDialog(const QStringList &files, const QStringList &leftOut,
    const QString &dataFolder, QWidget *parent)
    : QDialog(parent)
    , m_files(files)
    , m_leftOut(leftOut)
    , m_dataFolder(dataFolder)
{
    setObjectName(QStringLiteral("FormSiteReplace"));
    setWindowTitle(QStringLiteral("Replace"));
    buildLayout();
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &SiteReplaceDialog::readSlice);
}

SiteReplaceDialog::~SiteReplaceDialog() = default;

void SiteReplaceDialog::buildLayout()
{
    auto *column = new QVBoxLayout(this);
    column->addLayout(buildForm());
    column->addWidget(buildChanges(), 1);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, int(m_files.size()));
    m_progress->setValue(0);
    column->addWidget(m_progress);
    m_status = new QLabel(QStringLiteral("%1 files in the list").arg(m_files.size()), this);
    m_status->setObjectName(QStringLiteral("LReplaceStatus"));
    m_status->setWordWrap(true);
    column->addWidget(m_status);
    column->addWidget(buildButtons());
    resize(900, 600);
}

// What to find, what to put in its place, and where.
QFormLayout *SiteReplaceDialog::buildForm()
{
    auto *form = new QFormLayout;
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("EReplaceFind"));
    m_with = new QLineEdit(this);
    m_with->setObjectName(QStringLiteral("EReplaceWith"));
    form->addRow(QStringLiteral("&Find:"), m_find);
    form->addRow(QStringLiteral("Replace &with:"), m_with);
    auto *flags = new QHBoxLayout;
    m_regex = new QCheckBox(QStringLiteral("Regular e&xpression"), this);
    m_regex->setToolTip(QStringLiteral("\\1 to \\9 in the replacement are the groups"));
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_wholeWords = new QCheckBox(QStringLiteral("Whole w&ords"), this);
    for (QCheckBox *box : { m_regex, m_matchCase, m_wholeWords })
        flags->addWidget(box);
    flags->addStretch(1);
    form->addRow(QString(), flags);
    auto *scopeRow = new QHBoxLayout;
    m_scope = new QComboBox(this);
    m_scope->setObjectName(QStringLiteral("CBReplaceScope"));
    m_scope->addItems({ QStringLiteral("Everywhere (the bytes of the file)"),
        QStringLiteral("Text only (not tags, comments, scripts or styles)"),
        QStringLiteral("Attribute values"), QStringLiteral("Tag and attribute names") });
    m_attribute = new QLineEdit(this);
    m_attribute->setObjectName(QStringLiteral("EReplaceAttribute"));
    m_attribute->setPlaceholderText(QStringLiteral("of every attribute"));
    m_attribute->setEnabled(false);
    connect(m_scope, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_attribute->setEnabled(kScopes[index] == replace::Scope::Attributes);
    });
    scopeRow->addWidget(m_scope, 1);
    scopeRow->addWidget(m_attribute);
    auto *scopeLabel = new QLabel(QStringLiteral("&Scope:"), this);
    scopeLabel->setBuddy(m_scope);
    form->addRow(scopeLabel, scopeRow);
    return form;
}

// The changes of the preview, and the difference of the one chosen.
QSplitter *SiteReplaceDialog::buildChanges()
{
    auto *splitter = new QSplitter(Qt::Vertical, this);
    m_changes = new QTreeWidget(splitter);
    m_changes->setObjectName(QStringLiteral("TVReplaceChanges"));
    m_changes->setHeaderLabels(
        { QStringLiteral("File / line"), QStringLiteral("Before"), QStringLiteral("After") });
    m_changes->setUniformRowHeights(true);
    m_changes->header()->setSectionResizeMode(QHeaderView::Interactive);
    // The line numbers keep their room; before and after share the rest.
    m_changes->setColumnWidth(FileColumn, fontMetrics().horizontalAdvance(QStringLiteral("line 00000")) + 60);
    m_changes->setColumnWidth(BeforeColumn, 380);
    connect(m_changes, &QTreeWidget::currentItemChanged, this,
        [this](QTreeWidgetItem *item) { showDifference(item); });
    m_difference = new QPlainTextEdit(splitter);
    m_difference->setObjectName(QStringLiteral("MReplaceDifference"));
    m_difference->setReadOnly(true);
    m_difference->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_difference->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    return splitter;
}

QDialogButtonBox *SiteReplaceDialog::buildButtons()
{
    auto *buttons = new QDialogButtonBox(this);
    m_previewButton = buttons->addButton(QStringLiteral("&Preview"), QDialogButtonBox::ActionRole);
    m_previewButton->setObjectName(QStringLiteral("BReplacePreview"));
    m_stopButton = buttons->addButton(QStringLiteral("S&top"), QDialogButtonBox::ActionRole);
    m_stopButton->setObjectName(QStringLiteral("BReplaceStop"));
    m_stopButton->setEnabled(false);
    m_replaceButton = buttons->addButton(QStringLiteral("&Replace"), QDialogButtonBox::AcceptRole);
    m_replaceButton->setObjectName(QStringLiteral("BReplaceApply"));
    m_replaceButton->setEnabled(false);
    buttons->addButton(QDialogButtonBox::Close);
    m_previewButton->setDefault(true);
    connect(m_previewButton, &QPushButton::clicked, this, &SiteReplaceDialog::startPreview);
    connect(m_stopButton, &QPushButton::clicked, this, &SiteReplaceDialog::stopPreview);
    connect(m_replaceButton, &QPushButton::clicked, this, &SiteReplaceDialog::replaceChecked);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return buttons;
}

replace::ReplaceOptions SiteReplaceDialog::options() const
{
    replace::ReplaceOptions options;
    options.find = m_find->text();
    options.with = m_with->text();
    options.regex = m_regex->isChecked();
    options.matchCase = m_matchCase->isChecked();
    options.wholeWords = m_wholeWords->isChecked();
    options.scope = kScopes[m_scope->currentIndex()];
    if (options.scope == replace::Scope::Attributes)
        options.attribute = m_attribute->text().trimmed();
    return options;
}

void SiteReplaceDialog::startPreview()
{
    m_timer.stop();
    m_replacer = std::make_unique<replace::Replacer>(options());
    if (!m_replacer->problem().isEmpty()) {
        m_status->setText(m_replacer->problem());
        return;
    }
    m_changes->clear();
    m_difference->clear();
    m_plans.clear();
    m_next = 0;
    m_matches = 0;
    for (const QString &note : m_leftOut) {
        auto *item = new QTreeWidgetItem(m_changes, { note });
        item->setDisabled(true);
    }
    m_progress->setValue(0);
    m_stopButton->setEnabled(true);
    m_replaceButton->setEnabled(false);
    m_status->setText(QStringLiteral("Reading..."));
    m_timer.start();
}

void SiteReplaceDialog::readSlice()
{
    QElapsedTimer clock;
    clock.start();
    while (m_next < m_files.size() && clock.elapsed() < kSliceMs) {
        replace::FilePlan plan = replace::planFile(m_files.at(m_next++), *m_replacer, true);
        if (!plan.page.error.isEmpty() || !plan.page.edits.empty()) {
            const QByteArray bytes = std::move(plan.bytes);
            plan.bytes = QByteArray(); // the apply reads the file again, to see it unchanged
            addPlan(std::move(plan), bytes);
        }
    }
    m_progress->setValue(int(m_next));
    if (m_next >= m_files.size())
        previewDone(false);
}

void SiteReplaceDialog::addPlan(replace::FilePlan plan, const QByteArray &bytes)
{
    if (!plan.page.error.isEmpty()) {
        auto *item = new QTreeWidgetItem(m_changes, { plan.path + QStringLiteral(": ") + plan.page.error });
        item->setDisabled(true);
        return;
    }
    auto *file = new QTreeWidgetItem(m_changes,
        { QStringLiteral("%1 (%2)").arg(plan.path).arg(plan.page.edits.size()) });
    file->setData(FileColumn, kPlanRole, qulonglong(m_plans.size()));
    file->setFirstColumnSpanned(true); // the path is long, its lines below are short
    file->setFlags(file->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
    file->setCheckState(FileColumn, Qt::Checked);
    const std::vector<replace::ChangeView> views
        = replace::describeEdits(bytes, plan.page.encoding, plan.page.edits);
    for (size_t i = 0; i < views.size(); ++i) {
        auto *change = new QTreeWidgetItem(file,
            { QStringLiteral("line %1").arg(views[i].line), views[i].before, views[i].after });
        change->setData(FileColumn, kEditRole, qulonglong(i));
        change->setFlags(change->flags() | Qt::ItemIsUserCheckable);
        change->setCheckState(FileColumn, Qt::Checked);
    }
    m_matches += qint64(plan.page.edits.size());
    m_plans.push_back(std::move(plan));
}

void SiteReplaceDialog::previewDone(bool stopped)
{
    m_timer.stop();
    m_stopButton->setEnabled(false);
    m_replaceButton->setEnabled(!m_plans.empty());
    m_status->setText(QStringLiteral("%1%2 of %3 files read: %4 matches in %5 files")
                         .arg(stopped ? QStringLiteral("Stopped. ") : QString())
                         .arg(m_next)
                         .arg(m_files.size())
                         .arg(m_matches)
                         .arg(m_plans.size()));
}

void SiteReplaceDialog::stopPreview()
{
    if (m_timer.isActive())
        previewDone(true);
}

void SiteReplaceDialog::showDifference(QTreeWidgetItem *item)
{
    QTreeWidgetItem *file = item && item->parent() ? item->parent() : item;
    if (!file || !file->data(FileColumn, kPlanRole).isValid()) {
        m_difference->clear();
        return;
    }
    const replace::FilePlan &plan = m_plans[size_t(file->data(FileColumn, kPlanRole).toULongLong())];
    QByteArray bytes;
    QString reason;
    if (!platform::readRegularFile(plan.path, qint64(1) << 30, &bytes, &reason)) {
        m_difference->setPlainText(reason);
        return;
    }
    const QByteArray diff = replace::unifiedDiff(QFileInfo(plan.path).fileName().toUtf8(), bytes,
        plan.page.edits);
    m_difference->setPlainText(plan.page.encoding == platform::TextEncoding::Latin1
            ? QString::fromLatin1(diff)
            : QString::fromUtf8(diff));
}

std::vector<replace::FilePlan> SiteReplaceDialog::checkedPlans() const
{
    std::vector<replace::FilePlan> plans;
    for (int i = 0; i < m_changes->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *file = m_changes->topLevelItem(i);
        if (!file->data(FileColumn, kPlanRole).isValid() || file->checkState(FileColumn) == Qt::Unchecked)
            continue;
        replace::FilePlan plan = m_plans[size_t(file->data(FileColumn, kPlanRole).toULongLong())];
        std::vector<replace::Edit> kept;
        for (int c = 0; c < file->childCount(); ++c) {
            if (file->child(c)->checkState(FileColumn) == Qt::Checked)
                kept.push_back(plan.page.edits[size_t(file->child(c)->data(FileColumn, kEditRole).toULongLong())]);
        }
        plan.page.edits = std::move(kept);
        plans.push_back(std::move(plan));
    }
    return plans;
}

void SiteReplaceDialog::replaceChecked()
{
    stopPreview();
    replace::ApplyOutcome outcome;
    {
        const platform::HourglassGuard hourglass;
        outcome = replace::applyPlans(checkedPlans(), replace::describeReplace(m_replacer->options()),
            replace::UndoStore(m_dataFolder));
    }
    m_written = outcome.written;
    m_undoId = outcome.undoId;
    QString report = QStringLiteral("%1 replacements in %2 files.")
                         .arg(outcome.replacements)
                         .arg(outcome.written.size());
    if (!outcome.leftOut.isEmpty())
        report += QStringLiteral("\n\nLeft out:\n") + outcome.leftOut.join(QLatin1Char('\n'));
    if (!outcome.failure.isEmpty()) {
        platform::dialogs().errorBox(outcome.failure + QStringLiteral("\n\nThe files before it were written; ")
            + QStringLiteral("\"Undo Replace\" puts them back.\n\n") + report);
    } else if (!outcome.leftOut.isEmpty()) {
        platform::dialogs().ShowInfo(report);
    }
    accept();
}

} // namespace filelists
