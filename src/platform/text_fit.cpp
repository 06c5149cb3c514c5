#include "platform/text_fit.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

void FitTextToWidth(QWidget* widget, const QStringList& lines, int room)
{
    auto widestLine = [&lines](const QFont& font) {
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
        return widest;
    };
    QFont font = widget->font();
    font.setStretch(QFont::Unstretched);
    // Glyphs are placed on whole pixels, so a narrowed line may come out a little wider
    // than the proportion says: narrow step by step until it really fits.
    const int fit = room - 2;
    for (int stretch = 100; stretch > 70 && widestLine(font) > fit; stretch -= 2)
        font.setStretch(stretch - 2);
    if (font.stretch() != widget->font().stretch()) widget->setFont(font);
}
