#include "platform/window.h"

#include "platform/application.h"
#include "platform/menu_dispatch.h"
#include "platform/push_button.h"
#include "platform/rect_control.h"
#include "platform/runtime.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

namespace {
// Open windows by key, and all open windows in the order the user last worked in them.
std::map<QString, Window*>& registry()
{
    static std::map<QString, Window*> windows;
    return windows;
}
std::vector<Window*>& frontOrder()
{
    static std::vector<Window*> order;
    return order;
}

void bringToFront(Window* window)
{
    auto& order = frontOrder();
    order.erase(std::remove(order.begin(), order.end(), window), order.end());
    order.push_back(window);
}

// Deletes a closed window once control is back in the event loop that closed it, so a
// handler may close its own window and go on to its end.
class DeferredWindowDelete : public QObject {
public:
    explicit DeferredWindowDelete(Window* window) : window_(window) {}
    ~DeferredWindowDelete() override { delete window_; }

private:
    Window* window_;
};
}  // namespace

class WindowWidget : public QWidget {
public:
    explicit WindowWidget(Window* window) : window_(window) {}

protected:
    void closeEvent(QCloseEvent* event) override
    {
        // The window itself decides: refused without a close box, otherwise discarded.
        event->ignore();
        if (window_->CloseButton()) window_->Close();
    }
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate) window_->Activated();
        return QWidget::event(event);
    }

private:
    Window* window_;
};

class WindowContentWidget : public QWidget {
public:
    explicit WindowContentWidget(Window* window) : window_(window) {}
    QSize sizeHint() const override { return {window_->width_, window_->height_}; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        window_->ContentResized(width(), height());
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        // A Return or Enter that the focused control left alone presses the default button.
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            && window_->DefaultButton()) {
            window_->PressDefaultButton();
            return;
        }
        QWidget::keyPressEvent(event);
    }

private:
    Window* window_;
};

Window::Window()
{
    top_ = new WindowWidget(this);
    content_ = new WindowContentWidget(this);
    auto* layout = new QVBoxLayout(top_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetMinAndMaxSize);
    layout->addWidget(content_);
}

Window::~Window()
{
    auto& windows = registry();
    for (auto it = windows.begin(); it != windows.end();) {
        if (it->second == this) it = windows.erase(it);
        else ++it;
    }
    auto& order = frontOrder();
    order.erase(std::remove(order.begin(), order.end(), this), order.end());
    controls_.clear();
    delete top_;
}

void Window::Constructor(const QString& key)
{
    key_ = key;
    registry()[key] = this;
    frontOrder().insert(frontOrder().begin(), this);
    CallFunctionWithExceptionHandling([this] { Layout(); });
    if (!menuBar_) {
        if (Application* app = GetAppObject(); app && app->MenuBar()) SetMenuBar(app->MenuBar());
    }
    ApplyWindowFlags();
    ApplySizeLimits();
    CallFunctionWithExceptionHandling([this] { CreateControls(); });
    CallFunctionWithExceptionHandling([this] { AddMenuHandlers(); });
    for (const auto& control : controls_) {
        RectControl* c = control.get();
        if (c->Open) CallFunctionWithExceptionHandling([c] { c->Open(); });
    }
    lastWidth_ = width_;
    lastHeight_ = height_;
    // The design size exactly: adjustSize() would cut a window to two thirds of a small
    // screen.
    top_->layout()->activate();
    top_->resize(top_->sizeHint());
    constructed_ = true;
    CallFunctionWithExceptionHandling([this] { Event_Open(); });
    if (visible_ && !closed_ && !QuitRequested()) Show();
}

int Window::Width() const { return width_; }
int Window::Height() const { return height_; }

void Window::SetWidth(int width)
{
    width_ = width;
    if (constructed_) top_->resize(width, top_->height() - content_->height() + height_);
}

void Window::SetHeight(int height)
{
    height_ = height;
    if (constructed_) top_->resize(top_->width(), top_->height() - content_->height() + height);
}

void Window::SetMinWidth(int value) { minWidth_ = value; if (constructed_) ApplySizeLimits(); }
void Window::SetMinHeight(int value) { minHeight_ = value; if (constructed_) ApplySizeLimits(); }
void Window::SetMaxWidth(int value) { maxWidth_ = value; if (constructed_) ApplySizeLimits(); }
void Window::SetMaxHeight(int value) { maxHeight_ = value; if (constructed_) ApplySizeLimits(); }

QString Window::Title() const { return top_->windowTitle(); }
void Window::SetTitle(const QString& title) { top_->setWindowTitle(title); }

void Window::SetMenuBar(MenuItem* bar)
{
    menuBar_ = bar;
    delete qmenuBar_;
    qmenuBar_ = bar ? BuildMenuBar(bar, top_) : nullptr;
    top_->layout()->setMenuBar(qmenuBar_);
}

void Window::ApplyWindowFlags()
{
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                            | Qt::WindowSystemMenuHint;
    if (closeButton_) flags |= Qt::WindowCloseButtonHint;
    if (minimizeButton_) flags |= Qt::WindowMinimizeButtonHint;
    if (maximizeButton_ && resizeable_) flags |= Qt::WindowMaximizeButtonHint;
    top_->setWindowFlags(flags);
}

void Window::ApplySizeLimits()
{
    if (resizeable_) {
        content_->setMinimumSize(std::min(minWidth_, width_), std::min(minHeight_, height_));
        content_->setMaximumSize(std::max(maxWidth_, width_), std::max(maxHeight_, height_));
    } else {
        content_->setFixedSize(width_, height_);
    }
}

void Window::Show()
{
    if (closed_) return;
    bringToFront(this);
    top_->show();
    top_->raise();
    top_->activateWindow();
}

void Window::Close()
{
    if (closed_) return;
    closed_ = true;
    auto& windows = registry();
    auto it = windows.find(key_);
    if (it != windows.end() && it->second == this) windows.erase(it);
    auto& order = frontOrder();
    order.erase(std::remove(order.begin(), order.end(), this), order.end());
    top_->hide();
    (new DeferredWindowDelete(this))->deleteLater();
    if (Window* front = Front()) front->Show();
}

void Window::Refresh(bool)
{
    top_->repaint();
}

RectControl* Window::ControlByName(const QString& name) const
{
    for (const auto& control : controls_)
        if (control->Name() == name) return control.get();
    return nullptr;
}

void Window::AddControl(RectControl* control)
{
    QWidget* previous = nullptr;
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if ((*it)->Widget()->focusPolicy() != Qt::NoFocus) {
            previous = (*it)->Widget();
            break;
        }
    }
    controls_.emplace_back(control);
    if (previous && control->Widget()->focusPolicy() != Qt::NoFocus)
        QWidget::setTabOrder(previous, control->Widget());
}

void Window::AddMenuHandler(const QString& name, std::function<bool()> handler)
{
    menuHandlers_.Add(name, std::move(handler));
}

void Window::PressDefaultButton()
{
    if (defaultButton_ && defaultButton_->Enabled() && defaultButton_->Visible())
        defaultButton_->Push();
}

QWidget* Window::TopLevelWidget() const { return top_; }
QWidget* Window::ContentWidget() const { return content_; }

void Window::ContentResized(int width, int height)
{
    if (!constructed_ || closed_) return;
    if (width == lastWidth_ && height == lastHeight_) return;
    const int dw = width - lastWidth_;
    const int dh = height - lastHeight_;
    lastWidth_ = width_ = width;
    lastHeight_ = height_ = height;
    for (const auto& control : controls_) control->ApplyLocks(dw, dh);
    CallFunctionWithExceptionHandling([this] { Event_Resized(); });
}

void Window::Activated()
{
    if (closed_) return;
    bringToFront(this);
    CallFunctionWithExceptionHandling([this] { Event_Activate(); });
}

Window* Window::Front()
{
    auto& order = frontOrder();
    return order.empty() ? nullptr : order.back();
}

Window* Window::GetImplicitWindow(const QString& key)
{
    auto& windows = registry();
    auto it = windows.find(key);
    return it == windows.end() ? nullptr : it->second;
}

std::vector<Window*> Window::OpenWindows()
{
    return frontOrder();
}

void CloseAllWindows()
{
    const std::vector<Window*> open = frontOrder();
    for (Window* window : open) {
        window->closed_ = true;
        delete window;
    }
    registry().clear();
    frontOrder().clear();
}
