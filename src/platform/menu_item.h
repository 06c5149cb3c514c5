#pragma once
// Menus as a tree of named items. The toolkit's menus and actions are made from the tree
// (see menu_dispatch.h); the program finds items by name and binds handlers by name.
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class QAction;

class MenuItem {
public:
    MenuItem();
    MenuItem(const QString& text, const QVariant& tag = QVariant());
    virtual ~MenuItem();
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    QString Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    QString Text() const { return text_; }
    void SetText(const QString& text);
    QString KeyboardShortcut() const { return shortcut_; }
    void SetKeyboardShortcut(const QString& shortcut);
    bool AutoEnable() const { return autoEnable_; }
    void SetAutoEnable(bool value) { autoEnable_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    void Enable() { SetEnabled(true); }
    QVariant Tag() const { return tag_; }
    bool IsSeparator() const { return text_ == "-"; }

    // Takes ownership of the item and adds it at the end.
    void Append(MenuItem* item);
    int Count() const { return int(children_.size()); }
    MenuItem* Item(int index) const;
    MenuItem* Parent() const { return parent_; }
    // The direct child of that name, or nil.
    MenuItem* Child(const QString& name) const;
    // The item of that name anywhere below this one, or nil.
    MenuItem* Lookup(const QString& name) const;

    // The toolkit action that shows this item; made on first use.
    QAction* Action();

private:
    QString name_;
    QString text_;
    QString shortcut_;
    bool autoEnable_ = false;
    bool enabled_ = true;
    QVariant tag_;
    MenuItem* parent_ = nullptr;
    std::vector<std::unique_ptr<MenuItem>> children_;
    QAction* action_ = nullptr;
};

// The framework's own commands: the item that quits, and the "about" item.
class QuitMenuItem : public MenuItem {};
class AppleMenuItem : public MenuItem {};

// The key sequence text for the toolkit: "Cmd+Q" is Ctrl+Q here.
QString ToolkitShortcut(const QString& shortcut);

// Handlers bound by item name; names match without regard to letter case.
class MenuHandlerTable {
public:
    void Add(const QString& name, std::function<bool()> handler);
    bool Has(const QString& name) const;
    // Runs the handler bound under the name; false when there is none or it declined.
    bool Run(const QString& name) const;

private:
    std::vector<std::pair<QString, std::function<bool()>>> handlers_;
};
