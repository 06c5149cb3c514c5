#include "platform/text_area.h"

#include "platform/message_box.h"
#include "platform/window.h"

#include <QPlainTextEdit>

TextArea::TextArea(Window* window, const QString& name)
    : RectControl(window, name, new QPlainTextEdit(window->ContentWidget()))
{
    edit_ = static_cast<QPlainTextEdit*>(Widget());
    edit_->setFocusPolicy(Qt::StrongFocus);
    edit_->setTabChangesFocus(true);
    edit_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QString TextArea::Text() const
{
    // What the program set, unless the user has typed since.
    return edit_->document()->isModified() ? edit_->toPlainText() : text_;
}

void TextArea::SetText(const QString& text)
{
    text_ = text;
    edit_->setPlainText(DisplayText(text));
    edit_->document()->setModified(false);
}

bool TextArea::ReadOnly() const { return edit_->isReadOnly(); }

void TextArea::SetReadOnly(bool value)
{
    edit_->setReadOnly(value);
    if (value)
        edit_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void TextArea::SetScrollbarVertical(bool value)
{
    edit_->setVerticalScrollBarPolicy(value ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}
