#include "platform/text_field.h"

#include "platform/runtime.h"
#include "platform/window.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <limits>

class KeyFilteringLineEdit : public QLineEdit {
public:
    KeyFilteringLineEdit(TextField* field, QWidget* parent) : QLineEdit(parent), field_(field) {}

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const QString key = TextField::KeyText(event->key(), event->text());
        if (key.isEmpty()) {  // a modifier alone
            QLineEdit::keyPressEvent(event);
            return;
        }
        bool consumed = false;
        if (field_->KeyDown)
            CallFunctionWithExceptionHandling([&] { consumed = field_->KeyDown(key); });
        if (consumed) return;
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->ignore();  // for the window's default button
            return;
        }
        if (field_->ReadOnly()) return;
        QLineEdit::keyPressEvent(event);
    }

private:
    TextField* field_;
};

TextField::TextField(Window* window, const QString& name)
    : RectControl(window, name, new KeyFilteringLineEdit(this, window->ContentWidget()))
{
    edit_ = static_cast<QLineEdit*>(Widget());
    edit_->setFocusPolicy(Qt::StrongFocus);
    // No length limit (the toolkit's default cuts a text at 32,767 characters).
    edit_->setMaxLength(std::numeric_limits<int>::max());
}

QString TextField::Text() const { return edit_->text(); }
void TextField::SetText(const QString& text) { edit_->setText(text); }

void TextField::SetAlignment(int alignment)
{
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (alignment == 2) horizontal = Qt::AlignHCenter;
    else if (alignment == 3) horizontal = Qt::AlignRight;
    edit_->setAlignment(horizontal | Qt::AlignVCenter);
}

QString TextField::KeyText(int key, const QString& text)
{
    // Keys without text carry the classic control codes of the framework.
    switch (key) {
    case Qt::Key_Backspace: return QString(QChar(8));
    case Qt::Key_Tab: return QString(QChar(9));
    case Qt::Key_Return: return QString(QChar(13));
    case Qt::Key_Enter: return QString(QChar(3));
    case Qt::Key_Escape: return QString(QChar(27));
    case Qt::Key_Left: return QString(QChar(28));
    case Qt::Key_Right: return QString(QChar(29));
    case Qt::Key_Up: return QString(QChar(30));
    case Qt::Key_Down: return QString(QChar(31));
    case Qt::Key_Delete: return QString(QChar(127));
    case Qt::Key_Home: return QString(QChar(1));
    case Qt::Key_End: return QString(QChar(4));
    case Qt::Key_PageUp: return QString(QChar(11));
    case Qt::Key_PageDown: return QString(QChar(12));
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return QString();
    default:
        break;
    }
    if (!text.isEmpty()) return text.left(text.at(0).isHighSurrogate() ? 2 : 1);
    return QString(QChar(16));  // a function key
}
