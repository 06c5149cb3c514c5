#include "platform/menu_dispatch.h"

#include "platform/application.h"
#include "platform/clipboard_offer.h"
#include "platform/menu_item.h"
#include "platform/runtime.h"
#include "platform/window.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>

namespace {

enum class TextCommand { None, Undo, Cut, Copy, Paste, Clear, SelectAll };

TextCommand textCommandOf(const MenuItem* item)
{
    const QString name = item->Name().toLower();
    if (name == "editundo") return TextCommand::Undo;
    if (name == "editcut") return TextCommand::Cut;
    if (name == "editcopy") return TextCommand::Copy;
    if (name == "editpaste") return TextCommand::Paste;
    if (name == "editclear") return TextCommand::Clear;
    if (name == "editselectall") return TextCommand::SelectAll;
    return TextCommand::None;
}

// Whether the focused text control can carry out the command now.
bool textCommandAvailable(TextCommand command)
{
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        const bool editable = !line->isReadOnly();
        switch (command) {
        case TextCommand::Undo: return editable && line->isUndoAvailable();
        case TextCommand::Cut:
        case TextCommand::Clear: return editable && line->hasSelectedText();
        case TextCommand::Copy: return line->hasSelectedText();
        case TextCommand::Paste: return editable && ClipboardOffersText();
        case TextCommand::SelectAll: return !line->text().isEmpty();
        case TextCommand::None: return false;
        }
    }
    if (auto* area = qobject_cast<QPlainTextEdit*>(focus)) {
        const bool editable = !area->isReadOnly();
        const bool selection = area->textCursor().hasSelection();
        switch (command) {
        case TextCommand::Undo: return editable && area->document()->isUndoAvailable();
        case TextCommand::Cut:
        case TextCommand::Clear: return editable && selection;
        case TextCommand::Copy: return selection;
        case TextCommand::Paste: return editable && ClipboardOffersText();
        case TextCommand::SelectAll: return !area->document()->isEmpty();
        case TextCommand::None: return false;
        }
    }
    return false;
}

void runTextCommand(TextCommand command)
{
    if (!textCommandAvailable(command)) return;
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        switch (command) {
        case TextCommand::Undo: line->undo(); break;
        case TextCommand::Cut: line->cut(); break;
        case TextCommand::Copy: line->copy(); break;
        case TextCommand::Paste: line->paste(); break;
        case TextCommand::Clear: line->del(); break;
        case TextCommand::SelectAll: line->selectAll(); break;
        case TextCommand::None: break;
        }
    } else if (auto* area = qobject_cast<QPlainTextEdit*>(focus)) {
        switch (command) {
        case TextCommand::Undo: area->undo(); break;
        case TextCommand::Cut: area->cut(); break;
        case TextCommand::Copy: area->copy(); break;
        case TextCommand::Paste: area->paste(); break;
        case TextCommand::Clear: area->textCursor().removeSelectedText(); break;
        case TextCommand::SelectAll: area->selectAll(); break;
        case TextCommand::None: break;
        }
    }
}

bool frameworkCommandAvailable(MenuItem* item)
{
    if (dynamic_cast<QuitMenuItem*>(item)) return true;
    const TextCommand command = textCommandOf(item);
    return command != TextCommand::None && textCommandAvailable(command);
}

void enableTree(MenuItem* menu)
{
    for (int i = 0; i < menu->Count(); ++i) {
        MenuItem* item = menu->Item(i);
        if (item->Count() > 0) {
            enableTree(item);
        } else if (item->AutoEnable() && !item->IsSeparator()) {
            item->SetEnabled(HasMenuCommand(item));
        }
    }
}

bool matchesEnabledShortcut(MenuItem* menu, const QKeySequence& keys)
{
    for (int i = 0; i < menu->Count(); ++i) {
        MenuItem* item = menu->Item(i);
        if (item->Count() > 0) {
            if (matchesEnabledShortcut(item, keys)) return true;
        } else if (item->Enabled() && !item->KeyboardShortcut().isEmpty()
                   && item->Action()->shortcut() == keys) {
            return true;
        }
    }
    return false;
}

// Sets the menu items before the toolkit looks for a shortcut, and keeps a text field
// from claiming a key that a menu item owns (Ctrl+C in the search field is the menu's).
class MenuShortcutFilter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride) return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return false;
        Application* app = GetAppObject();
        if (!app || !app->MenuBar()) return false;
        UpdateMenuEnabling();
        if (matchesEnabledShortcut(app->MenuBar(), QKeySequence(key->keyCombination()))) {
            event->ignore();
            return true;
        }
        return false;
    }
};

}  // namespace

bool HasMenuCommand(MenuItem* item)
{
    const QString name = item->Name();
    Window* front = Window::Front();
    if (front && front->MenuHandlers().Has(name)) return true;
    Application* app = GetAppObject();
    if (app && app->MenuHandlers().Has(name)) return true;
    return frameworkCommandAvailable(item);
}

void UpdateMenuEnabling()
{
    Application* app = GetAppObject();
    if (!app || !app->MenuBar()) return;
    enableTree(app->MenuBar());
    CallFunctionWithExceptionHandling([app] { app->Event_EnableMenuItems(); });
    if (Window* front = Window::Front())
        CallFunctionWithExceptionHandling([front] { front->Event_EnableMenuItems(); });
}

void DispatchMenuCommand(MenuItem* item)
{
    CallFunctionWithExceptionHandling([item] {
        const QString name = item->Name();
        Window* front = Window::Front();
        if (front && front->MenuHandlers().Has(name) && front->MenuHandlers().Run(name)) return;
        Application* app = GetAppObject();
        if (app && app->MenuHandlers().Has(name) && app->MenuHandlers().Run(name)) return;
        if (dynamic_cast<QuitMenuItem*>(item)) {
            Quit(0);
            return;
        }
        runTextCommand(textCommandOf(item));
    });
}

static void addItems(QMenu* menu, MenuItem* parent)
{
    for (int i = 0; i < parent->Count(); ++i) {
        MenuItem* item = parent->Item(i);
        if (item->IsSeparator()) {
            menu->addSeparator();
        } else if (item->Count() > 0) {
            QMenu* sub = menu->addMenu(item->Text());
            addItems(sub, item);
        } else {
            menu->addAction(item->Action());
        }
    }
}

QMenuBar* BuildMenuBar(MenuItem* bar, QWidget* parent)
{
    auto* menuBar = new QMenuBar(parent);
    menuBar->setNativeMenuBar(false);
    for (int i = 0; i < bar->Count(); ++i) {
        MenuItem* top = bar->Item(i);
        QMenu* menu = menuBar->addMenu(top->Text());
        menu->setObjectName(top->Name());
        addItems(menu, top);
        QObject::connect(menu, &QMenu::aboutToShow, [] { UpdateMenuEnabling(); });
    }
    return menuBar;
}

void InstallMenuShortcutFilter()
{
    static QPointer<MenuShortcutFilter> filter;
    if (filter) return;
    filter = new MenuShortcutFilter;
    filter->setParent(qApp);
    qApp->installEventFilter(filter);
}
