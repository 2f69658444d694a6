// The controls of the options window, built once in the constructor.
#include "snapshot/snapshotoptionsdialog.h"

#include "kit/colorpicker.h"
#include "kit/panels.h"
#include "kit/textfit.h"
#include "kit/updown.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

namespace snapshot {

namespace {

constexpr int kOptionsPanelWidth = 141;

QLineEdit *numberField(const char *name, int maxLength, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setMaxLength(maxLength);
    field->setFixedWidth(kit::scaledByFont(44, field));
    return field;
}

// A field with its up-down at the right, in one cell.
QWidget *withUpDown(QLineEdit *field, kit::UpDown *upDown, QWidget *parent)
{
    auto *cell = new QWidget(parent);
    auto *row = new QHBoxLayout(cell);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(field);
    row->addWidget(upDown);
    row->addStretch(1);
    return cell;
}

kit::UpDown *upDown(QLineEdit *field, int minimum, int maximum, int step, const char *name)
{
    auto *upDown = new kit::UpDown(field, minimum, maximum, step, field->parentWidget());
    upDown->setObjectName(QLatin1String(name));
    return upDown;
}

kit::ColorPicker *colorPicker(const char *name, QWidget *parent)
{
    auto *picker = new kit::ColorPicker(parent);
    picker->setObjectName(QLatin1String(name));
    return picker;
}

} // namespace

void SnapshotOptionsDialog::buildLayout()
{
    auto *column = kit::tightColumn(this);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    QWidget *options = buildOptionsPanel();
    splitter->addWidget(options);
    splitter->addWidget(buildPicturePanel());
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ options->minimumWidth(), 500 });
    column->addWidget(splitter);
}

QWidget *SnapshotOptionsDialog::buildOptionsPanel()
{
    auto *panel = new QWidget(this);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(3);
    addBaseSizeSection(column, panel);
    addOutputSizeSection(column, panel);
    addShadowSection(column, panel);
    column->addStretch(1);
    panel->setMinimumWidth(kit::panelWidth(kOptionsPanelWidth, panel));

    connect(
        m_customSizeButton, &QRadioButton::clicked, this, &SnapshotOptionsDialog::sizeKindChosen);
    connect(
        m_browserSizeButton, &QRadioButton::clicked, this, &SnapshotOptionsDialog::sizeKindChosen);
    return panel;
}

// A custom size, or the browser's.
void SnapshotOptionsDialog::addBaseSizeSection(QVBoxLayout *column, QWidget *panel)
{
    column->addWidget(kit::fixedTitleBar(QStringLiteral(" Snapshot Base Size"), panel));
    m_customSizeButton = new QRadioButton(QStringLiteral("Custom browser size"), panel);
    m_customSizeButton->setObjectName(QStringLiteral("RBCustom"));
    column->addWidget(m_customSizeButton);
    auto *sizes = new QGridLayout;
    sizes->addWidget(new QLabel(QStringLiteral("Width:"), panel), 0, 0);
    sizes->addWidget(new QLabel(QStringLiteral("Heigth:"), panel), 0, 1);
    m_widthField = numberField("EWidth", 4, panel);
    m_widthField->setText(QStringLiteral("800"));
    m_widthUpDown = upDown(m_widthField, 50, 2000, 50, "UDWidth");
    m_heightField = numberField("EHeight", 4, panel);
    m_heightField->setText(QStringLiteral("600"));
    m_heightUpDown = upDown(m_heightField, 50, 3000, 50, "UDHeight");
    sizes->addWidget(withUpDown(m_widthField, m_widthUpDown, panel), 1, 0);
    sizes->addWidget(withUpDown(m_heightField, m_heightUpDown, panel), 1, 1);
    column->addLayout(sizes);
    m_browserSizeButton = new QRadioButton(QStringLiteral("Current browser size"), panel);
    m_browserSizeButton->setObjectName(QStringLiteral("RBBrowser"));
    column->addWidget(m_browserSizeButton);
    m_viewWidthField = new QLineEdit(panel);
    m_viewWidthField->setObjectName(QStringLiteral("EViewWidth"));
    m_viewWidthField->setReadOnly(true);
    kit::showTextStart(m_viewWidthField);
    column->addWidget(m_viewWidthField);
}

void SnapshotOptionsDialog::addOutputSizeSection(QVBoxLayout *column, QWidget *panel)
{
    column->addWidget(kit::fixedTitleBar(QStringLiteral(" Output Size"), panel));
    column->addWidget(new QLabel(QStringLiteral("Percent (%):"), panel));
    m_scaleField = numberField("EScale", 3, panel);
    m_scaleUpDown = upDown(m_scaleField, 5, 100, 5, "UDScale");
    column->addWidget(withUpDown(m_scaleField, m_scaleUpDown, panel));
}

// The colours and widths of the shadow and the border, and the scroll bars cropped.
void SnapshotOptionsDialog::addShadowSection(QVBoxLayout *column, QWidget *panel)
{
    column->addWidget(kit::fixedTitleBar(QStringLiteral(" Shadow & Border"), panel));
    const auto labelled = [&](const char *text, QWidget *control) {
        column->addWidget(new QLabel(QLatin1String(text), panel));
        column->addWidget(control);
    };
    m_backgroundPicker = colorPicker("RzColBG", panel);
    m_shadePicker = colorPicker("RzColBShade", panel);
    m_borderPicker = colorPicker("RzColBorder", panel);
    labelled("Background Color:", m_backgroundPicker);
    labelled("Shadow Color:", m_shadePicker);
    labelled("Border Color:", m_borderPicker);
    m_shadeField = numberField("EShade", 2, panel);
    m_shadeField->setReadOnly(true);
    m_shadeUpDown = upDown(m_shadeField, 0, 30, 1, "UDShade");
    m_borderField = numberField("EBorder", 2, panel);
    m_borderField->setReadOnly(true);
    m_borderUpDown = upDown(m_borderField, 0, 30, 1, "UDBorder");
    labelled("Shadow Width:", withUpDown(m_shadeField, m_shadeUpDown, panel));
    labelled("Border Width:", withUpDown(m_borderField, m_borderUpDown, panel));
    m_cropVerticalBox = new QCheckBox(QStringLiteral("Crop vert. Scrollbar"), panel);
    m_cropVerticalBox->setObjectName(QStringLiteral("CBCropVerti"));
    m_cropHorizontalBox = new QCheckBox(QStringLiteral("Crop horiz. Scrollbar"), panel);
    m_cropHorizontalBox->setObjectName(QStringLiteral("CBCropHori"));
    column->addWidget(m_cropVerticalBox);
    column->addWidget(m_cropHorizontalBox);
}

QWidget *SnapshotOptionsDialog::buildPicturePanel()
{
    auto *panel = new QWidget(this);
    auto *column = kit::tightColumn(panel);
    m_statusLine
        = new QLabel(QStringLiteral("Snapshot - Set your preferences then click 'Preview'"), panel);
    m_statusLine->setObjectName(QStringLiteral("PanelTreeTop"));
    m_statusLine->setTextFormat(Qt::PlainText);
    m_statusLine->setStyleSheet(
        QStringLiteral("background-color: #008080; color: white; font-weight: bold;"));
    m_statusLine->setContentsMargins(4, 2, 4, 2);
    m_statusLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    column->addWidget(m_statusLine);

    auto *scroll = new QScrollArea(panel);
    scroll->setBackgroundRole(QPalette::Dark);
    QPalette cross = scroll->palette();
    cross.setBrush(QPalette::Dark, QBrush(QColor(128, 128, 128), Qt::DiagCrossPattern));
    scroll->setPalette(cross);
    scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("ImgSave"));
    scroll->setWidget(m_picture);
    column->addWidget(scroll, 1);

    QHBoxLayout *buttons = nullptr;
    column->addWidget(kit::buttonBar(panel, &buttons));
    m_previewButton = kit::barButton(
        QStringLiteral("Preview"), QStringLiteral("Make and show snapshot"), buttons);
    m_previewButton->setObjectName(QStringLiteral("BPreview"));
    m_saveButton = kit::barButton(
        QStringLiteral("Save"), QStringLiteral("Save snapshot as JPG or BMP file"), buttons);
    m_saveButton->setObjectName(QStringLiteral("Bsave"));
    m_batchButton = kit::barButton(QStringLiteral("Batch Export"),
        QStringLiteral("Save snapshot as JPG or BMP file"), buttons);
    m_batchButton->setObjectName(QStringLiteral("BBatch"));
    m_clipboardButton = kit::barButton(
        QStringLiteral("Copy to clipboard"), QStringLiteral("Copy snapshot to clipboard"), buttons);
    m_clipboardButton->setObjectName(QStringLiteral("BClip"));
    buttons->addStretch(1);
    connect(m_previewButton, &QPushButton::clicked, this, &SnapshotOptionsDialog::preview);
    connect(m_saveButton, &QPushButton::clicked, this, &SnapshotOptionsDialog::saveSnapshot);
    connect(m_batchButton, &QPushButton::clicked, this, &SnapshotOptionsDialog::exportBatch);
    connect(m_clipboardButton, &QPushButton::clicked, this, &SnapshotOptionsDialog::copyToClipboard);
    return panel;
}

} // namespace snapshot
