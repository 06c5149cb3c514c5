#pragma once
// Design sizes were drawn for a narrower system font than Linux desktops use. A caption
// that would be cut off is drawn a little narrower instead, so every word stays visible.
#include <QStringList>

class QWidget;

// Sets the widget's font stretch so that the widest line fits in room pixels
// (never narrower than 70 percent; 100 when it fits as it is).
void FitTextToWidth(QWidget* widget, const QStringList& lines, int room);
