#include "platform/long_text.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <algorithm>

bool HasLongUnbreakableRun(const QString& text, int limit)
{
    // Looked for a window at a time, so that a text whose first window already holds such a
    // run costs no more than that window.
    constexpr qsizetype kWindow = 1 << 16;
    qsizetype last = 0;   // the last place where a line may break
    for (qsizetype start = 0; start < text.size(); start += kWindow) {
        const qsizetype length = std::min(kWindow, text.size() - start);
        QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, QStringView(text).mid(start, length));
        for (qsizetype at = breaks.toNextBoundary(); at >= 0 && at < length; at = breaks.toNextBoundary()) {
            if (start + at - last > limit) return true;
            last = start + at;
        }
        if (start + length - last > limit) return true;
    }
    return false;
}

namespace {
// Short enough to shape in no time, long enough that a line of megabytes has few pieces.
constexpr int kPieceLength = 256;
}  // namespace

LongLine::LongLine(const QString& text, const QFont& font) : text_(text), font_(font)
{
    const QFontMetricsF metrics(font_);
    qreal x = 0;
    for (int start = 0; start < text_.size();) {
        int end = std::min<int>(start + kPieceLength, int(text_.size()));
        // A piece never ends inside a character or before its accents.
        while (end < text_.size() && (text_.at(end).isLowSurrogate() || text_.at(end).isMark())) ++end;
        starts_.push_back(start);
        x_.push_back(x);
        x += metrics.horizontalAdvance(text_.mid(start, end - start));
        start = end;
    }
    starts_.push_back(int(text_.size()));
    x_.push_back(x);
}

void LongLine::Draw(QPainter* painter, qreal left, qreal baseline, qreal visibleLeft, qreal visibleRight) const
{
    // The first piece that ends right of the visible part's left edge.
    const auto first = std::upper_bound(x_.begin() + 1, x_.end(), visibleLeft - left);
    painter->save();
    painter->setFont(font_);
    for (size_t i = size_t(first - x_.begin()) - 1; i + 1 < x_.size() && left + x_[i] <= visibleRight; ++i)
        painter->drawText(QPointF(left + x_[i], baseline), text_.mid(starts_[i], starts_[i + 1] - starts_[i]));
    painter->restore();
}
