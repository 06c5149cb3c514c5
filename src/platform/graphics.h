#pragma once
// Drawing on one list cell's background.
#include <QColor>
#include <QRect>

class QPainter;

inline QColor RGB(int red, int green, int blue) { return QColor(red, green, blue); }

class Graphics {
public:
    Graphics(QPainter* painter, const QRect& cell) : painter_(painter), cell_(cell) {}
    int Width() const { return cell_.width(); }
    int Height() const { return cell_.height(); }
    QColor ForeColor() const { return foreColor_; }
    void SetForeColor(const QColor& color) { foreColor_ = color; }
    // In cell coordinates.
    void FillRect(int x, int y, int width, int height);

private:
    QPainter* painter_;
    QRect cell_;
    QColor foreColor_ = Qt::black;
};
