#include "TLMDSpinEdit.h"

#include <QFocusEvent>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QLineEdit>

#include <algorithm>
#include <climits>

TLMDSpinEdit::TLMDSpinEdit(QWidget* parent) : QAbstractSpinBox(parent)
{
    lineEdit()->setText("0");
    connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString& text) {
        const std::optional<int> parsed = parse(text);
        emit valueChanged(parsed ? clamp(*parsed) : min_);
    });
}

std::optional<int> TLMDSpinEdit::parse(const QString& text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = std::min<long long>(value * 10 + (text[i].unicode() - '0'), 1LL << 32);
    }
    value = negative ? -value : value;
    return int(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

int TLMDSpinEdit::clamp(long long value) const
{
    return int(std::clamp<long long>(value, min_, std::max(min_, max_)));
}

void TLMDSpinEdit::showValue(int value)
{
    const QString text = QString::number(value);
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
}

void TLMDSpinEdit::setMinValue(int value)
{
    min_ = value;
    setValue(this->value());
}

void TLMDSpinEdit::setMaxValue(int value)
{
    max_ = value;
    setValue(this->value());
}

int TLMDSpinEdit::value()
{
    const std::optional<int> parsed = parse(text());
    if (!parsed) {
        showValue(min_);
        return min_;
    }
    return clamp(*parsed);
}

void TLMDSpinEdit::setValue(int value)
{
    showValue(clamp(value));
}

void TLMDSpinEdit::setEditorEnabled(bool enabled)
{
    editorEnabled_ = enabled;
    lineEdit()->setReadOnly(!enabled);
}

void TLMDSpinEdit::stepBy(int steps)
{
    showValue(clamp(static_cast<long long>(value()) + steps));
}

QValidator::State TLMDSpinEdit::validate(QString& input, int&) const
{
    for (QChar c : input)
        if (!(c.isDigit() && c.unicode() < 128) && c != '+' && c != '-')
            return QValidator::Invalid;
    return QValidator::Intermediate;
}

QAbstractSpinBox::StepEnabled TLMDSpinEdit::stepEnabled() const
{
    if (!isEnabled())
        return StepNone;
    const std::optional<int> parsed = parse(text());
    const int shown = parsed ? clamp(*parsed) : min_;
    StepEnabled result = StepNone;
    if (shown < max_)
        result |= StepUpEnabled;
    if (shown > min_)
        result |= StepDownEnabled;
    return result;
}

void TLMDSpinEdit::focusOutEvent(QFocusEvent* event)
{
    setValue(value());
    QAbstractSpinBox::focusOutEvent(event);
}

QSize TLMDSpinEdit::sizeHint() const
{
    // Room for the longer of the two bounds, as the box shows nothing wider.
    ensurePolished();
    const QFontMetrics metrics(font());
    const int textWidth = std::max(metrics.horizontalAdvance(QString::number(min_)),
                                   metrics.horizontalAdvance(QString::number(max_)));
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize content(textWidth + 6, lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, content, this);
}
