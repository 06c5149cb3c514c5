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

    std::function<void()> Action;

private:
    void WrapCaption();
    QCheckBox* box_;
    QString caption_;
};
