#pragma once
#include "platform/rect_control.h"

class QLineEdit;

// A one-line text field. Every key first goes to KeyDown as one character; when KeyDown
// does not consume it, a read-only field drops it and an editable one takes it.
class TextField : public RectControl {
public:
    TextField(Window* window, const QString& name);
    QString Text() const;
    void SetText(const QString& text);
    // Read-only refuses typed keys; the cursor stays and menu commands such as Paste
    // still reach the field.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    // 0 default (left), 1 left, 2 centred, 3 right.
    void SetAlignment(int alignment);

    std::function<bool(const QString& key)> KeyDown;

    // The one-character text that KeyDown receives for a toolkit key event.
    static QString KeyText(int key, const QString& text);

private:
    friend class KeyFilteringLineEdit;
    QLineEdit* edit_;
    bool readOnly_ = false;
};
