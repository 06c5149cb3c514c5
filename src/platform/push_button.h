#pragma once
#include "platform/rect_control.h"

class QPushButton;

class PushButton : public RectControl {
public:
    PushButton(Window* window, const QString& name);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    // The window's default button is pressed by Return and Enter.
    void SetDefault(bool value);
    // Presses the button as a click would.
    void Push();

    std::function<void()> Action;

private:
    QPushButton* button_;
    QString caption_;
};
