#pragma once
// What every control of a window has: a place in the window's content area, locks to its
// edges, a font, a tooltip, and an Open event raised once the window has made it.
#include <QRect>
#include <QString>
#include <functional>

class QWidget;
class Window;

class RectControl {
public:
    RectControl(Window* window, const QString& name, QWidget* widget);
    virtual ~RectControl();
    RectControl(const RectControl&) = delete;
    RectControl& operator=(const RectControl&) = delete;

    QString Name() const { return name_; }
    Window* ParentWindow() const { return window_; }
    QWidget* Widget() const { return widget_; }

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    void SetBounds(int left, int top, int width, int height);

    bool LockLeft() const { return lockLeft_; }
    bool LockTop() const { return lockTop_; }
    bool LockRight() const { return lockRight_; }
    bool LockBottom() const { return lockBottom_; }
    void SetLocks(bool left, bool top, bool right, bool bottom);
    // Keeps the locked distances when the content area changes size by (dw, dh).
    void ApplyLocks(int dw, int dh);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    QString HelpTag() const { return helpTag_; }
    void SetHelpTag(const QString& tag);
    // Font size in pixels: the controls were designed at one point per pixel.
    double TextSize() const { return textSize_; }
    void SetTextSize(double size);
    int TextUnit() const { return textUnit_; }
    void SetTextUnit(int unit) { textUnit_ = unit; }
    bool Bold() const;
    void SetBold(bool bold);
    // What a screen reader calls the control: the words on screen that say what it holds.
    // Labels, buttons and check boxes need none; they are read by their own text.
    void SetAccessibleName(const QString& name);

    // Redraws now.
    void Refresh(bool eraseBackground = true);
    void SetFocus();
    bool HasFocus() const;

    std::function<void()> Open;

protected:
    // Raises an event through the top-level exception handling.
    static void Raise(const std::function<void()>& handler);

private:
    Window* window_;
    QString name_;
    QWidget* widget_;
    bool lockLeft_ = true, lockTop_ = true, lockRight_ = false, lockBottom_ = false;
    bool visible_ = true;
    QString helpTag_;
    double textSize_ = 0;
    int textUnit_ = 0;
};
