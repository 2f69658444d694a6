// The controls of the options window, built once in the constructor.
#include "snapshot/tformsnapprop.h"

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

void TFormSnapProp::buildLayout()
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

QWidget *TFormSnapProp::buildOptionsPanel()
{
    auto *panel = new QWidget(this);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(3);

    column->addWidget(kit::fixedTitleBar(QStringLiteral(" Snapshot Base Size"), panel));
    RBCustom = new QRadioButton(QStringLiteral("Custom browser size"), panel);
    RBCustom->setObjectName(QStringLiteral("RBCustom"));
    column->addWidget(RBCustom);
    auto *sizes = new QGridLayout;
    sizes->addWidget(new QLabel(QStringLiteral("Width:"), panel), 0, 0);
    sizes->addWidget(new QLabel(QStringLiteral("Heigth:"), panel), 0, 1);
    EWidth = numberField("EWidth", 4, panel);
    EWidth->setText(QStringLiteral("800"));
    UDWidth = upDown(EWidth, 50, 2000, 50, "UDWidth");
    EHeight = numberField("EHeight", 4, panel);
    EHeight->setText(QStringLiteral("600"));
    UDHeight = upDown(EHeight, 50, 3000, 50, "UDHeight");
    sizes->addWidget(withUpDown(EWidth, UDWidth, panel), 1, 0);
    sizes->addWidget(withUpDown(EHeight, UDHeight, panel), 1, 1);
    column->addLayout(sizes);
    RBBrowser = new QRadioButton(QStringLiteral("Current browser size"), panel);
    RBBrowser->setObjectName(QStringLiteral("RBBrowser"));
    column->addWidget(RBBrowser);
    EViewWidth = new QLineEdit(panel);
    EViewWidth->setObjectName(QStringLiteral("EViewWidth"));
    EViewWidth->setReadOnly(true);
    kit::showTextStart(EViewWidth);
    column->addWidget(EViewWidth);

    column->addWidget(kit::fixedTitleBar(QStringLiteral(" Output Size"), panel));
    column->addWidget(new QLabel(QStringLiteral("Percent (%):"), panel));
    EScale = numberField("EScale", 3, panel);
    UDScale = upDown(EScale, 5, 100, 5, "UDScale");
    column->addWidget(withUpDown(EScale, UDScale, panel));

    column->addWidget(kit::fixedTitleBar(QStringLiteral(" Shadow & Border"), panel));
    const auto labelled = [&](const char *text, QWidget *control) {
        column->addWidget(new QLabel(QLatin1String(text), panel));
        column->addWidget(control);
    };
    RzColBG = colorPicker("RzColBG", panel);
    RzColBShade = colorPicker("RzColBShade", panel);
    RzColBorder = colorPicker("RzColBorder", panel);
    labelled("Background Color:", RzColBG);
    labelled("Shadow Color:", RzColBShade);
    labelled("Border Color:", RzColBorder);
    EShade = numberField("EShade", 2, panel);
    EShade->setReadOnly(true);
    UDShade = upDown(EShade, 0, 30, 1, "UDShade");
    EBorder = numberField("EBorder", 2, panel);
    EBorder->setReadOnly(true);
    UDBorder = upDown(EBorder, 0, 30, 1, "UDBorder");
    labelled("Shadow Width:", withUpDown(EShade, UDShade, panel));
    labelled("Border Width:", withUpDown(EBorder, UDBorder, panel));
    CBCropVerti = new QCheckBox(QStringLiteral("Crop vert. Scrollbar"), panel);
    CBCropVerti->setObjectName(QStringLiteral("CBCropVerti"));
    CBCropHori = new QCheckBox(QStringLiteral("Crop horiz. Scrollbar"), panel);
    CBCropHori->setObjectName(QStringLiteral("CBCropHori"));
    column->addWidget(CBCropVerti);
    column->addWidget(CBCropHori);
    column->addStretch(1);
    panel->setMinimumWidth(kit::panelWidth(kOptionsPanelWidth, panel));

    connect(RBCustom, &QRadioButton::clicked, this, &TFormSnapProp::RBCustomClick);
    connect(RBBrowser, &QRadioButton::clicked, this, &TFormSnapProp::RBCustomClick);
    return panel;
}

QWidget *TFormSnapProp::buildPicturePanel()
{
    auto *panel = new QWidget(this);
    auto *column = kit::tightColumn(panel);
    PanelTreeTop
        = new QLabel(QStringLiteral("Snapshot - Set your preferences then click 'Preview'"), panel);
    PanelTreeTop->setObjectName(QStringLiteral("PanelTreeTop"));
    PanelTreeTop->setTextFormat(Qt::PlainText);
    PanelTreeTop->setStyleSheet(
        QStringLiteral("background-color: #008080; color: white; font-weight: bold;"));
    PanelTreeTop->setContentsMargins(4, 2, 4, 2);
    PanelTreeTop->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    column->addWidget(PanelTreeTop);

    auto *scroll = new QScrollArea(panel);
    scroll->setBackgroundRole(QPalette::Dark);
    QPalette cross = scroll->palette();
    cross.setBrush(QPalette::Dark, QBrush(QColor(128, 128, 128), Qt::DiagCrossPattern));
    scroll->setPalette(cross);
    scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ImgSave = new QLabel;
    ImgSave->setObjectName(QStringLiteral("ImgSave"));
    scroll->setWidget(ImgSave);
    column->addWidget(scroll, 1);

    QHBoxLayout *buttons = nullptr;
    column->addWidget(kit::buttonBar(panel, &buttons));
    BPreview = kit::barButton(
        QStringLiteral("Preview"), QStringLiteral("Make and show snapshot"), buttons);
    Bsave = kit::barButton(
        QStringLiteral("Save"), QStringLiteral("Save snapshot as JPG or BMP file"), buttons);
    BBatch = kit::barButton(QStringLiteral("Batch Export"),
        QStringLiteral("Save snapshot as JPG or BMP file"), buttons);
    BClip = kit::barButton(
        QStringLiteral("Copy to clipboard"), QStringLiteral("Copy snapshot to clipboard"), buttons);
    buttons->addStretch(1);
    connect(BPreview, &QPushButton::clicked, this, &TFormSnapProp::BPreviewClick);
    connect(Bsave, &QPushButton::clicked, this, &TFormSnapProp::BsaveClick);
    connect(BBatch, &QPushButton::clicked, this, &TFormSnapProp::BBatchClick);
    connect(BClip, &QPushButton::clicked, this, &TFormSnapProp::BClipClick);
    return panel;
}

} // namespace snapshot
