#include "folderview/viewsdock.h"

#include "kit/panels.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace folderview {

ViewsDock::ViewsDock(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PanelActPreview"));
    QVBoxLayout *column = kit::tightColumn(this);
    browserPanel_ = new QWidget(this);
    browserPanel_->setObjectName(QStringLiteral("Panel1"));
    auto *dock = new QVBoxLayout(browserPanel_);
    dock->setContentsMargins(0, 0, 0, 0);
    m_browserPlaceholder
        = new QLabel(QStringLiteral("Editor and Bowser view disabled"), browserPanel_);
    m_browserPlaceholder->setAlignment(Qt::AlignCenter);
    dock->addWidget(m_browserPlaceholder);
    column->addWidget(browserPanel_, 1);
    column->addWidget(buildButtonBar());

    connect(m_viewSwitch, &QButtonGroup::buttonClicked, this, &ViewsDock::viewSwitchClicked);
    connect(saveButton_, &QPushButton::clicked, this, &ViewsDock::saveClicked);
    connect(saveAsButton_, &QPushButton::clicked, this, &ViewsDock::saveAsClicked);
}

QWidget *ViewsDock::buildButtonBar()
{
    QHBoxLayout *barLayout = nullptr;
    QWidget *panFolder = kit::buttonBar(this, &barLayout);
    browserButton_ = new QToolButton(panFolder);
    browserButton_->setObjectName(QStringLiteral("SBBrowser"));
    browserButton_->setText(QStringLiteral("Browser"));
    browserButton_->setToolTip(QStringLiteral("Show Browser View"));
    editorButton_ = new QToolButton(panFolder);
    editorButton_->setObjectName(QStringLiteral("SBEditor"));
    editorButton_->setText(QStringLiteral("Editor"));
    editorButton_->setToolTip(QStringLiteral("Show Editor"));
    m_viewSwitch = new QButtonGroup(this);
    for (QToolButton *button : { browserButton_, editorButton_ }) {
        button->setCheckable(true);
        m_viewSwitch->addButton(button);
        barLayout->addWidget(button);
    }
    browserButton_->setChecked(true);
    barLayout->addStretch(1);
    saveAsButton_ = kit::barButton(QStringLiteral("Save As"),
        QStringLiteral("Save a copy of the current editor file"), barLayout);
    saveAsButton_->setObjectName(QStringLiteral("BSaveAs"));
    saveButton_ = kit::barButton(
        QStringLiteral("Save"), QStringLiteral("[CTRL-S]: Save current editor file"), barLayout);
    saveButton_->setObjectName(QStringLiteral("BSave"));
    saveButton_->setEnabled(false);
    return panFolder;
}

void ViewsDock::showInBrowserPanel(QWidget *borrowed)
{
    m_browserPlaceholder->hide();
    browserPanel_->layout()->addWidget(borrowed);
    borrowed->show();
}

bool ViewsDock::browserSwitchDown() const
{
    return browserButton_->isChecked();
}

void ViewsDock::setSaveButtons(bool saveEnabled, bool saveAsEnabled)
{
    saveButton_->setEnabled(saveEnabled);
    saveAsButton_->setEnabled(saveAsEnabled);
}

bool ViewsDock::saveEnabled() const
{
    return saveButton_->isEnabled();
}

} // namespace folderview
