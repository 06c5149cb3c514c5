#include "platform/rect_control.h"

#include "platform/runtime.h"

#include <QTextDocument>
#include <QWidget>

RectControl::RectControl(Window* window, const QString& name, QWidget* widget)
    : window_(window), name_(name), widget_(widget)
{
    widget_->setObjectName(name);
}

RectControl::~RectControl() = default;

int RectControl::Left() const { return widget_->x(); }
int RectControl::Top() const { return widget_->y(); }
int RectControl::Width() const { return widget_->width(); }
int RectControl::Height() const { return widget_->height(); }
void RectControl::SetLeft(int left) { widget_->move(left, widget_->y()); }
void RectControl::SetTop(int top) { widget_->move(widget_->x(), top); }
void RectControl::SetWidth(int width) { widget_->resize(width, widget_->height()); }
void RectControl::SetHeight(int height) { widget_->resize(widget_->width(), height); }
void RectControl::SetBounds(int left, int top, int width, int height)
{
    widget_->setGeometry(left, top, width, height);
}

void RectControl::SetLocks(bool left, bool top, bool right, bool bottom)
{
    lockLeft_ = left;
    lockTop_ = top;
    lockRight_ = right;
    lockBottom_ = bottom;
}

void RectControl::ApplyLocks(int dw, int dh)
{
    QRect r = widget_->geometry();
    if (lockRight_) {
        if (lockLeft_) r.setWidth(r.width() + dw);
        else r.moveLeft(r.left() + dw);
    }
    if (lockBottom_) {
        if (lockTop_) r.setHeight(r.height() + dh);
        else r.moveTop(r.top() + dh);
    }
    widget_->setGeometry(r);
}

void RectControl::SetVisible(bool visible)
{
    visible_ = visible;
    widget_->setVisible(visible);
}

bool RectControl::Enabled() const { return widget_->isEnabled(); }
void RectControl::SetEnabled(bool enabled) { widget_->setEnabled(enabled); }

void RectControl::SetHelpTag(const QString& tag)
{
    helpTag_ = tag;
    // Tooltips guess at markup; a tag that looks like markup is escaped to show as typed.
    widget_->setToolTip(Qt::mightBeRichText(tag) ? "<p>" + tag.toHtmlEscaped() + "</p>" : tag);
    widget_->setToolTipDuration(-1);
}

void RectControl::SetTextSize(double size)
{
    textSize_ = size;
    if (size > 0) {
        QFont font = widget_->font();
        font.setPixelSize(int(size + 0.5));
        widget_->setFont(font);
    }
}

bool RectControl::Bold() const { return widget_->font().bold(); }

void RectControl::SetBold(bool bold)
{
    QFont font = widget_->font();
    font.setBold(bold);
    widget_->setFont(font);
}

void RectControl::SetAccessibleName(const QString& name) { widget_->setAccessibleName(name); }

void RectControl::Refresh(bool)
{
    widget_->repaint();
}

void RectControl::SetFocus()
{
    widget_->setFocus(Qt::OtherFocusReason);
}

bool RectControl::HasFocus() const { return widget_->hasFocus(); }

void RectControl::Raise(const std::function<void()>& handler)
{
    if (handler) CallFunctionWithExceptionHandling(handler);
}
