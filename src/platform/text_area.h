#pragma once
#include "platform/rect_control.h"

class QPlainTextEdit;

// A multi-line text area. It keeps the exact text it was given, carriage returns and all,
// and shows each carriage return as a line break. Text is never read as markup.
class TextArea : public RectControl {
public:
    TextArea(Window* window, const QString& name);
    QString Text() const;
    void SetText(const QString& text);
    bool ReadOnly() const;
    void SetReadOnly(bool value);
    void SetScrollbarVertical(bool value);

private:
    QPlainTextEdit* edit_;
    QString text_;
};
