#include "platform/graphics.h"

#include <QPainter>

void Graphics::FillRect(int x, int y, int width, int height)
{
    painter_->fillRect(QRect(cell_.left() + x, cell_.top() + y, width, height), foreColor_);
}
