#pragma once
#include "platform/rect_control.h"

class QCheckBox;

class CheckBox : public RectControl {
public:
    CheckBox(Window* window, const QString& name);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    bool Value() const;
    void SetValue(bool value);
    // 0 unchecked, 1 checked.
    int State() const { return Value() ? 1 : 0; }
    void SetState(int state) { SetValue(state != 0); }

    std::function<void()> Action;

private:
    void WrapCaption();
    QCheckBox* box_;
    QString caption_;
};
