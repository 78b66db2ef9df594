#pragma once

#include <QAbstractSpinBox>

#include <optional>

// Integer spin edit: a value between MinValue and MaxValue (defaults 0 and
// 2147483647). Setting the value clamps it; leaving the box clamps what was
// typed; reading value() parses the text, and text that does not parse reads
// as MinValue and the box is reset to it. Up/Down (and the buttons and the
// wheel) step by 1, Page Up/Page Down by 10. Only digits, "+" and "-" can be
// typed, and nothing when the editor is switched off.
class TLMDSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit TLMDSpinEdit(QWidget* parent = nullptr);

    int minValue() const { return min_; }
    int maxValue() const { return max_; }
    // Changing a bound clamps the shown value into the new range.
    void setMinValue(int value);
    void setMaxValue(int value);

    // Parses the text (see above); not const, since unparsable text is reset.
    int value();
    void setValue(int value);

    // Typing into the box (EditorEnabled); stepping works either way.
    void setEditorEnabled(bool enabled);
    bool editorEnabled() const { return editorEnabled_; }

    // Text as an integer: optional sign and decimal digits; values beyond
    // 32 bits saturate. Nothing for any other text.
    static std::optional<int> parse(const QString& text);

    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QValidator::State validate(QString& input, int& pos) const override;

signals:
    // Every change of the shown value, by typing, stepping or the program.
    void valueChanged(int value);

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int clamp(long long value) const;
    void showValue(int value);

    int min_ = 0;
    int max_ = 2147483647;
    bool editorEnabled_ = true;
};
