#include "platform/label.h"

#include "platform/message_box.h"
#include "platform/window.h"

#include "platform/text_fit.h"

#include <QLabel>
#include <QResizeEvent>

namespace {
// Refits the text when the label's size or font changes.
class FittingLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onLayoutChange;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        if (onLayoutChange) onLayoutChange();
    }
    void changeEvent(QEvent* event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange && onLayoutChange) onLayoutChange();
    }
};
}  // namespace

Label::Label(Window* window, const QString& name)
    : RectControl(window, name, new FittingLabel(window->ContentWidget()))
{
    label_ = static_cast<QLabel*>(Widget());
    label_->setTextFormat(Qt::PlainText);
    label_->setFocusPolicy(Qt::NoFocus);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    static_cast<FittingLabel*>(label_)->onLayoutChange = [this] { Fit(); };
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
