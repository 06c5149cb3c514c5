#pragma once
// A window of the program: a top-level window with the menu bar on top and a content
// area of the design size under it, in which the controls stand at design coordinates.
#include "platform/menu_item.h"
#include "platform/nil_object.h"

#include <QString>
#include <map>
#include <memory>
#include <vector>

class QMenuBar;
class QWidget;
class RectControl;
class PushButton;

class Window {
public:
    Window();
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Registers the window as the open instance under key, then raises Layout,
    // CreateControls, AddMenuHandlers, each control's Open in creation order and the
    // window's Open; shows the window when it is visible.
    void Constructor(const QString& key);

    // Window events.
    virtual void Layout() {}
    virtual void CreateControls() {}
    virtual void AddMenuHandlers() {}
    virtual void Event_Open() {}
    virtual void Event_EnableMenuItems() {}
    virtual void Event_Resized() {}
    virtual void Event_Activate() {}

    // Design values; sizes are those of the content area.
    int Width() const;
    int Height() const;
    void SetWidth(int width);
    void SetHeight(int height);
    void SetMinWidth(int value);
    void SetMinHeight(int value);
    void SetMaxWidth(int value);
    void SetMaxHeight(int value);
    QString Title() const;
    void SetTitle(const QString& title);
    bool CloseButton() const { return closeButton_; }
    void SetCloseButton(bool value) { closeButton_ = value; }
    void SetResizeable(bool value) { resizeable_ = value; }
    void SetMaximizeButton(bool value) { maximizeButton_ = value; }
    void SetMinimizeButton(bool value) { minimizeButton_ = value; }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { visible_ = value; }
    MenuItem* MenuBar() const { return menuBar_; }
    void SetMenuBar(MenuItem* bar);

    // Shows the window and brings it to the front.
    void Show();
    // Closes the window and discards it; safe from inside the window's own handlers.
    void Close();
    void Refresh(bool eraseBackground = true);

    // Controls: made in CreateControls, found by name.
    template <class C>
    C* NewControl(const QString& name)
    {
        auto* control = new C(this, name);
        AddControl(control);
        return control;
    }
    RectControl* ControlByName(const QString& name) const;
    template <class C>
    C* Control(const QString& name) const
    {
        return NilCheck(dynamic_cast<C*>(ControlByName(name)));
    }
    const std::vector<std::unique_ptr<RectControl>>& Controls() const { return controls_; }

    void AddMenuHandler(const QString& name, std::function<bool()> handler);
    const MenuHandlerTable& MenuHandlers() const { return menuHandlers_; }

    // The button that Return and Enter press.
    void SetDefaultButton(PushButton* button) { defaultButton_ = button; }
    PushButton* DefaultButton() const { return defaultButton_; }
    void PressDefaultButton();

    QWidget* TopLevelWidget() const;
    QWidget* ContentWidget() const;

    // The window that menu commands go to: the one the user worked in last.
    static Window* Front();
    // The open window registered under key, or nil.
    static Window* GetImplicitWindow(const QString& key);
    static std::vector<Window*> OpenWindows();

protected:
    // The accessor of a window class: the open instance, or a new one constructed now.
    template <class W>
    static W* ImplicitInstance(const QString& key)
    {
        if (Window* open = GetImplicitWindow(key)) return static_cast<W*>(open);
        auto* window = new W;
        window->Constructor(key);
        return window;
    }

private:
    friend class WindowWidget;
    friend class WindowContentWidget;
    friend void CloseAllWindows();
    void AddControl(RectControl* control);
    void ContentResized(int width, int height);
    void Activated();
    void ApplyWindowFlags();
    void ApplySizeLimits();

    QString key_;
    QWidget* top_;
    QWidget* content_;
    QMenuBar* qmenuBar_ = nullptr;
    MenuItem* menuBar_ = nullptr;
    std::vector<std::unique_ptr<RectControl>> controls_;
    MenuHandlerTable menuHandlers_;
    PushButton* defaultButton_ = nullptr;
    int width_ = 300, height_ = 300;
    int minWidth_ = 64, minHeight_ = 64, maxWidth_ = 32000, maxHeight_ = 32000;
    int lastWidth_ = 0, lastHeight_ = 0;
    bool closeButton_ = true, resizeable_ = true, maximizeButton_ = true, minimizeButton_ = true;
    bool visible_ = true;
    bool constructed_ = false;
    bool closed_ = false;
};

// Closes every open window; the framework's clean-up at exit.
void CloseAllWindows();
