#include "platform/keyboard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QSet>

namespace {
QSet<int> keysDown;  // toolkit key numbers

int toolkitKey(int keyCode)
{
    switch (keyCode) {
    case 51: return Qt::Key_Backspace;
    case 117: return Qt::Key_Delete;
    case 123: return Qt::Key_Left;
    case 124: return Qt::Key_Right;
    case 125: return Qt::Key_Down;
    case 126: return Qt::Key_Up;
    case 36: return Qt::Key_Return;
    case 48: return Qt::Key_Tab;
    case 49: return Qt::Key_Space;
    case 53: return Qt::Key_Escape;
    default: return -1;
    }
}

class KeyboardObserver : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            keysDown.insert(static_cast<QKeyEvent*>(event)->key());
            break;
        case QEvent::KeyRelease: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat()) keysDown.remove(key->key());
            break;
        }
        case QEvent::ApplicationStateChange:
        case QEvent::WindowDeactivate:
            // A release that happens while another program has the keyboard never reaches
            // us; forget every key rather than believe one is held for ever.
            keysDown.clear();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};
}  // namespace

bool Keyboard::AsyncKeyDown(int keyCode)
{
    const int key = toolkitKey(keyCode);
    return key >= 0 && keysDown.contains(key);
}

void InstallKeyboardObserver()
{
    static QPointer<KeyboardObserver> observer;
    if (observer) return;
    observer = new KeyboardObserver;
    observer->setParent(qApp);
    qApp->installEventFilter(observer);
}
