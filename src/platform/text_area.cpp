#include "platform/text_area.h"

#include "platform/long_text.h"
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

namespace {
// A text that holds a longer run with nowhere to break a line is wrapped anywhere, its words
// too: wrapping it at word ends would cost the square of the run's length. Any real text
// keeps its words whole.
constexpr int kLongestWrappedWord = 256;
}  // namespace

void TextArea::SetText(const QString& text)
{
    text_ = text;
    const QString shown = DisplayText(text);
    const QTextOption::WrapMode wrap = HasLongUnbreakableRun(shown, kLongestWrappedWord)
                                           ? QTextOption::WrapAnywhere
                                           : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (edit_->wordWrapMode() != wrap) {
        edit_->clear();   // so that the old text is not laid out again in the new mode
        edit_->setWordWrapMode(wrap);
    }
    edit_->setPlainText(shown);
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
