#include "platform/check_box.h"

#include "platform/text_fit.h"
#include "platform/window.h"

#include <QCheckBox>
#include <QEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

CheckBox::CheckBox(Window* window, const QString& name)
    : RectControl(window, name, new RefittingWidget<QCheckBox>(window->ContentWidget()))
{
    box_ = static_cast<QCheckBox*>(Widget());
    box_->setFocusPolicy(Qt::StrongFocus);
    static_cast<RefittingWidget<QCheckBox>*>(box_)->onLayoutChange = [this] { WrapCaption(); };
    // Action follows the user's click and the program's own changes of the value alike.
    QObject::connect(box_, &QCheckBox::toggled, [this] { Raise(Action); });
}

void CheckBox::SetCaption(const QString& caption)
{
    caption_ = caption;
    box_->setAccessibleName(caption);
    WrapCaption();
}

bool CheckBox::Value() const { return box_->isChecked(); }
void CheckBox::SetValue(bool value) { box_->setChecked(value); }

void CheckBox::WrapCaption()
{
    // A caption too long for one line breaks at the last blank that fits, when the box
    // is tall enough for two lines.
    QStyleOptionButton option;
    option.initFrom(box_);
    const int indicator = box_->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, box_)
                          + box_->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, box_);
    const int room = box_->width() - indicator - 2;
    QFont unstretched = box_->font();
    unstretched.setStretch(QFont::Unstretched);
    const QFontMetrics metrics(unstretched);
    QString shown = caption_;
    shown.replace("&", "&&");
    if (metrics.horizontalAdvance(shown) > room && box_->height() >= 2 * metrics.height()) {
        int cut = -1;
        for (int i = shown.size() - 1; i > 0; --i) {
            if (shown[i] == ' ' && metrics.horizontalAdvance(shown.left(i)) <= room) {
                cut = i;
                break;
            }
        }
        // When the rest is too long for the second line, break where the wider of the two
        // lines is narrowest, so that the narrowing below can bring both into view.
        if (cut < 0 || metrics.horizontalAdvance(shown.mid(cut + 1)) > room) {
            int best = -1;
            for (int i = 1; i < shown.size(); ++i) {
                if (shown[i] != ' ') continue;
                const int wider = std::max(metrics.horizontalAdvance(shown.left(i)),
                                           metrics.horizontalAdvance(shown.mid(i + 1)));
                if (best < 0 || wider < best) {
                    best = wider;
                    cut = i;
                }
            }
        }
        if (cut > 0) shown = shown.left(cut) + "\n" + shown.mid(cut + 1);
    }
    box_->setText(shown);
    FitTextToWidth(box_, shown.split('\n'), room);
}
