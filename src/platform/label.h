#pragma once
#include "platform/rect_control.h"

class QLabel;

class Label : public RectControl {
public:
    Label(Window* window, const QString& name);
    QString Text() const { return text_; }
    // Shown as plain text; a carriage return breaks the line.
    void SetText(const QString& text);
    // 0 left, 1 centred, 2 right.
    void SetTextAlign(int align);
    void SetMultiline(bool value);

private:
    void Fit();
    QLabel* label_;
    QString text_;
};
