#include "platform/push_button.h"

#include "platform/window.h"

#include <QPushButton>

PushButton::PushButton(Window* window, const QString& name)
    : RectControl(window, name, new QPushButton(window->ContentWidget()))
{
    button_ = static_cast<QPushButton*>(Widget());
    button_->setAutoDefault(false);
    button_->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(button_, &QPushButton::clicked, [this] { Raise(Action); });
}

void PushButton::SetCaption(const QString& caption)
{
    // "&" is a mnemonic marker to the toolkit; a caption shows it as typed.
    QString shown = caption;
    shown.replace("&", "&&");
    button_->setText(shown);
    button_->setAccessibleName(caption);
    caption_ = caption;
}

void PushButton::SetDefault(bool value)
{
    button_->setDefault(value);
    if (value) ParentWindow()->SetDefaultButton(this);
    else if (ParentWindow()->DefaultButton() == this) ParentWindow()->SetDefaultButton(nullptr);
}

void PushButton::Push()
{
    button_->click();
}
