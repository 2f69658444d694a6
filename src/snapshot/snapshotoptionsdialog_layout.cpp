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
        customSizeButton_, &QRadioButton::clicked, this, &SnapshotOptionsDialog::sizeKindChosen);
    connect(
        browserSizeButton_, &QRadioButton::clicked, this, &SnapshotOptionsDialog::sizeKindChosen);
    return panel;
}

// A custom size, or the browser's.
void SnapshotOptionsDialog::addBaseSizeSection(QVBoxLayout *column, QWidget *panel)
{
    column->addWidget(kit::fixedTitleBar(QStringLiteral(" Snapshot Base Size"), panel));
    customSizeButton_ = new QRadioButton(QStringLiteral("Custom browser size"), panel);
    customSizeButton_->setObjectName(QStringLiteral("RBCustom"));
    column->addWidget(customSizeButton_);
    auto *sizes = new QGridLayout;
    sizes->addWidget(new QLabel(QStringLiteral("Width:"), panel), 0, 0);
    sizes->addWidget(new QLabel(QStringLiteral("Heigth:"), panel), 0, 1);
    widthField_ = numberField("EWidth", 4, panel);
    widthField_->setText(QStringLiteral("800"));
    widthUpDown_ = upDown(widthField_, 50, 2000, 50, "UDWidth");
    heightField_ = numberField("EHeight", 4, panel);
    heightField_->setText(QStringLiteral("600"));
    heightUpDown_ = upDown(heightField_, 50, 3000, 50, "UDHeight");
    sizes->addWidget(withUpDown(widthField_, widthUpDown_, panel), 1, 0);
    sizes->addWidget(withUpDown(heightField_, heightUpDown_, panel), 1, 1);
    column->addLayout(sizes);
    browserSizeButton_ = new QRadioButton(QStringLiteral("Current browser size"), panel);
    browserSizeButton_->setObjectName(QStringLiteral("RBBrowser"));
    column->addWidget(browserSizeButton_);
    viewWidthField_ = new QLineEdit(panel);
    viewWidthField_->setObjectName(QStringLiteral("EViewWidth"));
    viewWidthField_->setReadOnly(true);
    kit::showTextStart(viewWidthField_);
    column->addWidget(viewWidthField_);
}

void SnapshotOptionsDialog::addOutputSizeSection(QVBoxLayout *column, QWidget *panel)
{
    column->addWidget(kit::fixedTitleBar(QStringLiteral(" Output Size"), panel));
    column->addWidget(new QLabel(QStringLiteral("Percent (%):"), panel));
    scaleField_ = numberField("EScale", 3, panel);
    scaleUpDown_ = upDown(scaleField_, 5, 100, 5, "UDScale");
    column->addWidget(withUpDown(scaleField_, scaleUpDown_, panel));
}

// The colours and widths of the shadow and the border, and the scroll bars cropped.
void SnapshotOptionsDialog::addShadowSection(QVBoxLayout *column, QWidget *panel)
{
    column->addWidget(kit::fixedTitleBar(QStringLiteral(" Shadow & Border"), panel));
    const auto labelled = [&](const char *text, QWidget *control) {
        column->addWidget(new QLabel(QLatin1String(text), panel));
        column->addWidget(control);
    };
    backgroundPicker_ = colorPicker("RzColBG", panel);
    shadePicker_ = colorPicker("RzColBShade", panel);
    borderPicker_ = colorPicker("RzColBorder", panel);
    labelled("Background Color:", backgroundPicker_);
    labelled("Shadow Color:", shadePicker_);
    labelled("Border Color:", borderPicker_);
    shadeField_ = numberField("EShade", 2, panel);
    shadeField_->setReadOnly(true);
    shadeUpDown_ = upDown(shadeField_, 0, 30, 1, "UDShade");
    borderField_ = numberField("EBorder", 2, panel);
    borderField_->setReadOnly(true);
    borderUpDown_ = upDown(borderField_, 0, 30, 1, "UDBorder");
    labelled("Shadow Width:", withUpDown(shadeField_, shadeUpDown_, panel));
    labelled("Border Width:", withUpDown(borderField_, borderUpDown_, panel));
    cropVerticalBox_ = new QCheckBox(QStringLiteral("Crop vert. Scrollbar"), panel);
    cropVerticalBox_->setObjectName(QStringLiteral("CBCropVerti"));
    cropHorizontalBox_ = new QCheckBox(QStringLiteral("Crop horiz. Scrollbar"), panel);
    cropHorizontalBox_->setObjectName(QStringLiteral("CBCropHori"));
    column->addWidget(cropVerticalBox_);
    column->addWidget(cropHorizontalBox_);
}

QWidget *SnapshotOptionsDialog::buildPicturePanel()
{
    auto *panel = new QWidget(this);
    auto *column = kit::tightColumn(panel);
    statusLine_
        = new QLabel(QStringLiteral("Snapshot - Set your preferences then click 'Preview'"), panel);
    statusLine_->setObjectName(QStringLiteral("PanelTreeTop"));
    statusLine_->setTextFormat(Qt::PlainText);
    statusLine_->setStyleSheet(
        QStringLiteral("background-color: #008080; color: white; font-weight: bold;"));
    statusLine_->setContentsMargins(4, 2, 4, 2);
    statusLine_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    column->addWidget(statusLine_);

    auto *scroll = new QScrollArea(panel);
    scroll->setBackgroundRole(QPalette::Dark);
    QPalette cross = scroll->palette();
    cross.setBrush(QPalette::Dark, QBrush(QColor(128, 128, 128), Qt::DiagCrossPattern));
    scroll->setPalette(cross);
    scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture_ = new QLabel;
    picture_->setObjectName(QStringLiteral("ImgSave"));
    scroll->setWidget(picture_);
    column->addWidget(scroll, 1);

    QHBoxLayout *buttons = nullptr;
    column->addWidget(kit::buttonBar(panel, &buttons));
    previewButton_ = kit::barButton(
        QStringLiteral("Preview"), QStringLiteral("Make and show snapshot"), buttons);
    previewButton_->setObjectName(QStringLiteral("BPreview"));
    saveButton_ = kit::barButton(
        QStringLiteral("Save"), QStringLiteral("Save snapshot as JPG or BMP file"), buttons);
    saveButton_->setObjectName(QStringLiteral("Bsave"));
    batchButton_ = kit::barButton(QStringLiteral("Batch Export"),
        QStringLiteral("Save snapshot as JPG or BMP file"), buttons);
    batchButton_->setObjectName(QStringLiteral("BBatch"));
    clipboardButton_ = kit::barButton(
        QStringLiteral("Copy to clipboard"), QStringLiteral("Copy snapshot to clipboard"), buttons);
    clipboardButton_->setObjectName(QStringLiteral("BClip"));
    buttons->addStretch(1);
    connect(previewButton_, &QPushButton::clicked, this, &SnapshotOptionsDialog::preview);
    connect(saveButton_, &QPushButton::clicked, this, &SnapshotOptionsDialog::saveSnapshot);
    connect(batchButton_, &QPushButton::clicked, this, &SnapshotOptionsDialog::exportBatch);
    connect(clipboardButton_, &QPushButton::clicked, this, &SnapshotOptionsDialog::copyToClipboard);
    return panel;
}

} // namespace snapshot
