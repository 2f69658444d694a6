#include "folderview/formprogress.h"

#include "kit/textfit.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace folderview {

namespace {

bool isStopKey(int key)
{
    return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TFormProgress::TFormProgress(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FormProgress"));
    setWindowTitle(QStringLiteral("Folioscope Progress"));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setMinimumWidth(kit::scaledByFont(420, Label1));
    // A long path must not widen the fixed window.
    Label1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    ProgBar = new QProgressBar(this);
    ProgBar->setObjectName(QStringLiteral("ProgBar"));
    ProgBar->setTextVisible(false);

    BStop = new QPushButton(QStringLiteral("<Esc> - Stop"), this);
    BStop->setObjectName(QStringLiteral("BStop"));
    // Enter and Esc act when released, for the button too; pressing them must not close the
    // dialog by the default-button and reject rules first.
    BStop->setAutoDefault(false);
    BStop->setDefault(false);
    connect(BStop, &QPushButton::clicked, this, &TFormProgress::requestStop);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ProgBar);
    layout->addWidget(BStop, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());
    InitProgBar(0);
}

void TFormProgress::InitProgBar(int max)
{
    ProgBar->setRange(0, std::max(0, max));
    ProgBar->setValue(0);
    m_step = 1;
}

void TFormProgress::showProgress()
{
    Label1->clear();
    m_stopRequested = false;
    show();
    raise();
    activateWindow();
    BStop->setFocus();
}

void TFormProgress::setProgressText(const QString &text)
{
    Label1->setText(text);
    Label1->repaint();
}

void TFormProgress::stepProgress()
{
    ProgBar->setValue(std::min(ProgBar->maximum(), ProgBar->value() + m_step));
}

void TFormProgress::closeProgress()
{
    hide();
}

void TFormProgress::changeEvent(QEvent *event)
{
    // Batches disable the window that owns this one; the stop button must go on working.
    if (event->type() == QEvent::EnabledChange && !isEnabled()
        && !testAttribute(Qt::WA_ForceDisabled))
        setEnabled(true);
    QDialog::changeEvent(event);
}

void TFormProgress::showEvent(QShowEvent *event)
{
    // A window system showing it again (after minimising) starts nothing new.
    if (event->spontaneous()) {
        QDialog::showEvent(event);
        return;
    }
    Label1->clear();
    m_stopRequested = false;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TFormProgress::closeEvent(QCloseEvent *event)
{
    // Closed by the window system: the batch must not go on unseen.
    if (event->spontaneous())
        m_stopRequested = true;
    QDialog::closeEvent(event);
}

void TFormProgress::keyPressEvent(QKeyEvent *event)
{
    if (isStopKey(event->key())) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormProgress::keyReleaseEvent(QKeyEvent *event)
{
    if (isStopKey(event->key()) && !event->isAutoRepeat()) {
        event->accept();
        requestStop();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

void TFormProgress::requestStop()
{
    m_stopRequested = true;
    hide();
}

} // namespace folderview
