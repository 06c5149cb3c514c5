#pragma once
// Design sizes were drawn for a narrower system font than Linux desktops use. A caption
// that would be cut off is drawn a little narrower instead, so every word stays visible.
#include <QEvent>
#include <QStringList>
#include <QWidget>
#include <functional>

// Sets the widget's font stretch so that the widest line fits in room pixels
// (never narrower than 70 percent; 100 when it fits as it is).
void FitTextToWidth(QWidget* widget, const QStringList& lines, int room);

// A toolkit widget that calls back whenever its size or font changes, so that its
// caption can be fitted again.
template <class Base>
class RefittingWidget : public Base {
public:
    using Base::Base;
    std::function<void()> onLayoutChange;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        Base::resizeEvent(event);
        if (onLayoutChange) onLayoutChange();
    }
    void changeEvent(QEvent* event) override
    {
        Base::changeEvent(event);
        if (event->type() == QEvent::FontChange && onLayoutChange) onLayoutChange();
    }
};
