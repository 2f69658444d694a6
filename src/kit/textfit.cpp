#include "kit/textfit.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace kit {

namespace {

constexpr int kDesignFontHeight = 13;

} // namespace

int scaledByFont(int designPixels, const QWidget *widget)
{
    const int height = widget->fontMetrics().height();
    return std::max(
        designPixels, (designPixels * height + kDesignFontHeight - 1) / kDesignFontHeight);
}

int panelWidth(int designPixels, const QWidget *panel)
{
    return std::max(scaledByFont(designPixels, panel), panel->minimumSizeHint().width());
}

void showTextStart(QLineEdit *field)
{
    field->setCursorPosition(0);
    QObject::connect(field, &QLineEdit::textChanged, field, [field] {
        if (!field->hasFocus())
            field->setCursorPosition(0);
    });
}

void fitFieldToText(QLineEdit *field, int designMaximum)
{
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->hasFrame()
        ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field)
        : 0;
    const QMargins margins = field->textMargins();
    // The field draws its text two pixels in from each side, and a cursor after it.
    constexpr int kInnerMargins = 2 * 2;
    constexpr int kCursor = 2;
    const int text = field->fontMetrics().horizontalAdvance(field->text()) + margins.left()
        + margins.right() + kInnerMargins + kCursor;
    const QSize size = field->style()->sizeFromContents(
        QStyle::CT_LineEdit, &option, QSize(text, field->fontMetrics().height()), field);
    const int width = std::min(size.width(), scaledByFont(designMaximum, field));
    field->setMinimumWidth(std::max(field->minimumWidth(), width));
}

} // namespace kit
