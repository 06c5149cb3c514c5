#include "platform/menu_item.h"

#include "platform/menu_dispatch.h"
#include "platform/text_functions.h"

#include <QAction>
#include <QKeySequence>

MenuItem::MenuItem() = default;

MenuItem::MenuItem(const QString& text, const QVariant& tag) : text_(text), tag_(tag) {}

MenuItem::~MenuItem()
{
    delete action_;
}

void MenuItem::SetText(const QString& text)
{
    text_ = text;
    if (action_) {
        action_->setText(text);
        action_->setSeparator(IsSeparator());
    }
}

void MenuItem::SetKeyboardShortcut(const QString& shortcut)
{
    shortcut_ = shortcut;
    if (action_) action_->setShortcut(QKeySequence(ToolkitShortcut(shortcut)));
}

void MenuItem::SetEnabled(bool value)
{
    enabled_ = value;
    if (action_) action_->setEnabled(value);
}

void MenuItem::Append(MenuItem* item)
{
    item->parent_ = this;
    children_.emplace_back(item);
}

MenuItem* MenuItem::Item(int index) const
{
    if (index < 0 || index >= Count()) return nullptr;
    return children_[size_t(index)].get();
}

MenuItem* MenuItem::Child(const QString& name) const
{
    for (const auto& child : children_)
        if (TextEquals(child->name_, name)) return child.get();
    return nullptr;
}

MenuItem* MenuItem::Lookup(const QString& name) const
{
    for (const auto& child : children_) {
        if (TextEquals(child->name_, name)) return child.get();
        if (MenuItem* found = child->Lookup(name)) return found;
    }
    return nullptr;
}

QAction* MenuItem::Action()
{
    if (!action_) {
        action_ = new QAction(text_);
        action_->setSeparator(IsSeparator());
        action_->setEnabled(enabled_);
        if (!shortcut_.isEmpty()) action_->setShortcut(QKeySequence(ToolkitShortcut(shortcut_)));
        action_->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(action_, &QAction::triggered, [this] { DispatchMenuCommand(this); });
    }
    return action_;
}

QString ToolkitShortcut(const QString& shortcut)
{
    QString text = shortcut;
    text.replace("Cmd+", "Ctrl+", Qt::CaseInsensitive);
    // The last key may be written in lower case ("Cmd+l"); the key is the same.
    const int plus = text.lastIndexOf('+');
    if (plus >= 0 && plus + 2 == text.size()) text[plus + 1] = text[plus + 1].toUpper();
    return text;
}

void MenuHandlerTable::Add(const QString& name, std::function<bool()> handler)
{
    handlers_.emplace_back(name, std::move(handler));
}

bool MenuHandlerTable::Has(const QString& name) const
{
    for (const auto& entry : handlers_)
        if (TextEquals(entry.first, name)) return true;
    return false;
}

bool MenuHandlerTable::Run(const QString& name) const
{
    for (const auto& entry : handlers_)
        if (TextEquals(entry.first, name)) return entry.second();
    return false;
}
