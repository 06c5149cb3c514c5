#include "platform/label.h"

#include "platform/message_box.h"
#include "platform/text_fit.h"
#include "platform/window.h"

#include <QLabel>
#include <QResizeEvent>

Label::Label(Window* window, const QString& name)
    : RectControl(window, name, new RefittingWidget<QLabel>(window->ContentWidget()))
{
    label_ = static_cast<QLabel*>(Widget());
    label_->setTextFormat(Qt::PlainText);
    label_->setFocusPolicy(Qt::NoFocus);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    static_cast<RefittingWidget<QLabel>*>(label_)->onLayoutChange = [this] { Fit(); };
}

void Label::SetText(const QString& text)
{
    text_ = text;
    label_->setText(DisplayText(text));
    Fit();
}

void Label::Fit()
{
    if (!label_->wordWrap()) FitTextToWidth(label_, DisplayText(text_).split('\n'), label_->width());
}

void Label::SetTextAlign(int align)
{
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (align == 1) horizontal = Qt::AlignHCenter;
    else if (align == 2) horizontal = Qt::AlignRight;
    label_->setAlignment(horizontal | Qt::AlignTop);
}

void Label::SetMultiline(bool value)
{
    label_->setWordWrap(value);
    Fit();
}
