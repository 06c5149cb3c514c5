#pragma once
// Texts too long for the toolkit's text layout to handle whole. The layout looks ahead from
// the start of every line to the next place where a line may break; over a run that has no
// such place it does so again for each line of the run, so its cost grows with the square of
// the run (a one-megabyte word took two minutes). Laying out and drawing a line of several
// megabytes for each repaint costs seconds as well.
#include <QFont>
#include <QString>
#include <vector>

class QPainter;

// True when the text holds more than `limit` characters in a row with nowhere to break a line.
bool HasLongUnbreakableRun(const QString& text, int limit);

// One line of text measured and drawn piece by piece, so that a repaint costs what shows
// rather than the whole line.
class LongLine {
public:
    LongLine(const QString& text, const QFont& font);
    const QString& Text() const { return text_; }
    const QFont& Font() const { return font_; }
    qreal Width() const { return x_.back(); }
    // Draws the pieces that reach into [visibleLeft, visibleRight]; the line starts at left
    // with its baseline at baseline.
    void Draw(QPainter* painter, qreal left, qreal baseline, qreal visibleLeft, qreal visibleRight) const;

private:
    QString text_;
    QFont font_;
    std::vector<int> starts_;   // piece i is text_[starts_[i], starts_[i + 1])
    std::vector<qreal> x_;      // x_[i] is where piece i begins; the last entry is the width
};
