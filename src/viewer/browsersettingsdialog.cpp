#include "viewer/browsersettingsdialog.h"

#include "engine/fontfamilies.h"
#include "engine/htmlview.h"
#include "kit/textfit.h"
#include "viewer/colorbutton.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

namespace viewer {

namespace {

const char sampleDocument[]
    = "<center><h1>Heading</h1></center><ul>Some normal text.<li><a href=NoWhere>HotSpot "
      "Item</a><li><b>Bold Text</b><li><i>Italicized Text</i><li><code>Code Text</code></ul> <hr>";

} // namespace

BrowserSettingsDialog::BrowserSettingsDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FontForm"));
    setWindowTitle(QStringLiteral("Browser Settings"));
    layOut(createControls());
    connectControls();

    m_fontName = m_sample->defaultFontName();
    m_sample->setHtmlText(QString::fromLatin1(sampleDocument));
    m_shown = currentValues();
}

BrowserSettingsDialog::Labels BrowserSettingsDialog::createControls()
{
    m_showImages = new QCheckBox(QStringLiteral("Show Images"), this);
    m_followDisk = new QCheckBox(QStringLiteral("Follow changes on disk"), this);
    m_followDisk->setObjectName(QStringLiteral("CBFollowDisk"));
    m_followDisk->setChecked(true);
    m_sample = new engine::HtmlView(this);
    m_sample->setObjectName(QStringLiteral("SampleView"));
    m_sample->setBorder(true);
    m_sample->setTextSelectable(false);
    m_sample->setShowImages(false);
    m_sample->setMinimumSize(kit::scaledByFont(260, m_sample), kit::scaledByFont(220, m_sample));

    m_fontList = new QListWidget(this);
    m_fontList->addItems(engine::engineFontFamilies());
    m_fontList->setMinimumWidth(kit::scaledByFont(180, m_fontList));
    auto *fontLabel = new QLabel(QStringLiteral("Default Font"), this);
    fontLabel->setBuddy(m_fontList);

    m_fontSize = new QSpinBox(this);
    m_fontSize->setRange(6, 24);
    m_fontSize->setValue(12);
    auto *sizeLabel = new QLabel(QStringLiteral("Font &Size"), this);
    sizeLabel->setBuddy(m_fontSize);

    m_background = new ColorButton(QStringLiteral("&Background"), this);
    m_linkColor = new ColorButton(QStringLiteral("&Link Color"), this);
    m_fontColor = new ColorButton(QStringLiteral("&Font Color"), this);
    m_background->setColor(m_sample->defaultBackground());
    m_linkColor->setColor(m_sample->linkColor());
    m_fontColor->setColor(m_sample->defaultFontColor());

    m_ok = new QPushButton(QStringLiteral("O&K"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_reset = new QPushButton(QStringLiteral("&Reset"), this);
    return { fontLabel, sizeLabel };
}

void BrowserSettingsDialog::layOut(const Labels &labels)
{
    auto *left = new QVBoxLayout;
    left->addWidget(m_showImages);
    left->addWidget(m_sample, 1);
    auto *sizeRow = new QHBoxLayout;
    sizeRow->addWidget(labels.size);
    sizeRow->addWidget(m_fontSize);
    sizeRow->addStretch(1);
    left->addLayout(sizeRow);
    auto *colours = new QHBoxLayout;
    colours->addWidget(m_background);
    colours->addWidget(m_linkColor);
    colours->addWidget(m_fontColor);
    left->addLayout(colours);
    left->addWidget(m_followDisk);

    auto *right = new QVBoxLayout;
    right->addWidget(labels.font);
    right->addWidget(m_fontList, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_reset);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto *grid = new QGridLayout(this);
    grid->addLayout(left, 0, 0);
    grid->addLayout(right, 0, 1);
    grid->addLayout(buttons, 1, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void BrowserSettingsDialog::connectControls()
{
    connect(m_fontList, &QListWidget::itemClicked, this, &BrowserSettingsDialog::fontClicked);
    connect(m_fontSize, &QSpinBox::valueChanged, m_sample, &engine::HtmlView::setDefaultFontSize);
    connect(m_background, &ColorButton::colorChanged, m_sample,
        &engine::HtmlView::setDefaultBackground);
    connect(m_linkColor, &ColorButton::colorChanged, m_sample, &engine::HtmlView::setLinkColor);
    connect(
        m_fontColor, &ColorButton::colorChanged, m_sample, &engine::HtmlView::setDefaultFontColor);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_reset, &QPushButton::clicked, this, &BrowserSettingsDialog::resetValues);
}

BrowserSettingsDialog::~BrowserSettingsDialog() = default;

bool BrowserSettingsDialog::editBrowserSettings(engine::HtmlView *view, QWidget *parent)
{
    if (!view)
        return false;
    BrowserSettingsDialog form(parent);
    form.presetFrom(*view);
    if (form.exec() != QDialog::Accepted)
        return false;
    form.applyTo(*view);
    return true;
}

void BrowserSettingsDialog::presetFrom(const engine::HtmlView &view)
{
    setFontName(view.defaultFontName());
    setFontColor(view.defaultFontColor());
    setFontSize(view.defaultFontSize());
    setLinkColor(view.linkColor());
    setBackgroundColor(view.defaultBackground());
    setShowImages(view.showImages());
    setFollowDisk(view.followsDisk());
}

void BrowserSettingsDialog::applyTo(engine::HtmlView &view) const
{
    engine::DisplaySettings settings = view.displaySettings();
    settings.fontName = fontName();
    settings.fontColor = fontColor();
    settings.fontSize = fontSize();
    settings.linkColor = linkColor();
    settings.backgroundColor = backgroundColor();
    settings.showImages = showImages();
    view.setDisplaySettings(settings);
    view.setFollowDisk(followDisk());
    view.reloadDocuments();
}

void BrowserSettingsDialog::setFontName(const QString &name)
{
    const QList<QListWidgetItem *> found
        = m_fontList->findItems(engine::familyWithoutFoundry(name), Qt::MatchFixedString);
    if (!found.isEmpty()) {
        m_fontList->setCurrentItem(found.first());
        m_fontList->scrollToItem(found.first());
    } else {
        m_fontList->setCurrentItem(nullptr);
        m_fontList->clearSelection();
    }
    m_fontName = found.isEmpty() ? name : found.first()->text();
    m_sample->setDefaultFontName(m_fontName);
}

QString BrowserSettingsDialog::fontName() const
{
    return m_fontName.isEmpty() ? QStringLiteral("System") : m_fontName;
}

void BrowserSettingsDialog::setFontSize(int points)
{
    m_fontSize->setValue(points);
    m_sample->setDefaultFontSize(m_fontSize->value());
}

int BrowserSettingsDialog::fontSize() const
{
    return m_fontSize->value();
}

void BrowserSettingsDialog::setFontColor(const QColor &color)
{
    m_fontColor->setColor(color);
}

QColor BrowserSettingsDialog::fontColor() const
{
    return m_fontColor->color();
}

void BrowserSettingsDialog::setLinkColor(const QColor &color)
{
    m_linkColor->setColor(color);
}

QColor BrowserSettingsDialog::linkColor() const
{
    return m_linkColor->color();
}

void BrowserSettingsDialog::setBackgroundColor(const QColor &color)
{
    m_background->setColor(color);
}

QColor BrowserSettingsDialog::backgroundColor() const
{
    return m_background->color();
}

void BrowserSettingsDialog::setShowImages(bool show)
{
    m_showImages->setChecked(show);
}

bool BrowserSettingsDialog::showImages() const
{
    return m_showImages->isChecked();
}

void BrowserSettingsDialog::setFollowDisk(bool follow)
{
    m_followDisk->setChecked(follow);
}

bool BrowserSettingsDialog::followDisk() const
{
    return m_followDisk->isChecked();
}

void BrowserSettingsDialog::resetValues()
{
    showValues(m_shown);
}

engine::HtmlView *BrowserSettingsDialog::sampleView() const
{
    return m_sample;
}

QListWidget *BrowserSettingsDialog::fontList() const
{
    return m_fontList;
}

QSpinBox *BrowserSettingsDialog::fontSizeEdit() const
{
    return m_fontSize;
}

ColorButton *BrowserSettingsDialog::backgroundPicker() const
{
    return m_background;
}

ColorButton *BrowserSettingsDialog::linkColorPicker() const
{
    return m_linkColor;
}

ColorButton *BrowserSettingsDialog::fontColorPicker() const
{
    return m_fontColor;
}

QPushButton *BrowserSettingsDialog::resetButton() const
{
    return m_reset;
}

void BrowserSettingsDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    prepareToShow();
}

void BrowserSettingsDialog::prepareToShow()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    m_shown = currentValues();
}

void BrowserSettingsDialog::fontClicked(QListWidgetItem *item)
{
    if (!item)
        return;
    m_fontName = item->text();
    m_sample->setDefaultFontName(m_fontName);
}

BrowserSettingsDialog::Values BrowserSettingsDialog::currentValues() const
{
    Values values;
    values.fontName = fontName();
    values.fontSize = fontSize();
    values.fontColor = fontColor();
    values.linkColor = linkColor();
    values.backgroundColor = backgroundColor();
    values.showImages = showImages();
    values.followDisk = followDisk();
    return values;
}

void BrowserSettingsDialog::showValues(const Values &values)
{
    setFontName(values.fontName);
    setFontSize(values.fontSize);
    setFontColor(values.fontColor);
    setLinkColor(values.linkColor);
    setBackgroundColor(values.backgroundColor);
    setShowImages(values.showImages);
    setFollowDisk(values.followDisk);
}

} // namespace viewer
