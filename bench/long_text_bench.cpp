// What a long definition with no blank in it costs the controls that show one: a text area
// (set, then drawn) and a list that scrolls sideways (the row added and drawn, then scrolled
// to its end and drawn). Offscreen unless a display platform is set; prints milliseconds.
//
//   long_text_bench [kilobytes ...]   (default: 100 1024 5120)
#include "platform/listbox.h"
#include "platform/text_area.h"
#include "platform/window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cstdio>
#include <cstdlib>

namespace {
class BenchWindow : public Window {
public:
    void CreateControls() override
    {
        area = NewControl<TextArea>("area");
        area->SetBounds(0, 0, 246, 211);
        area->SetReadOnly(true);
        list = NewControl<Listbox>("list");
        list->SetBounds(250, 0, 380, 260);
        list->SetScrollbarHorizontal(true);
    }
    TextArea* area = nullptr;
    Listbox* list = nullptr;
};

double since(QElapsedTimer& clock)
{
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    clock.restart();
    return ms;
}
}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i) sizes << std::atoi(argv[i]);
    if (sizes.isEmpty()) sizes = {100, 1024, 5120};
    auto* window = new BenchWindow;
    window->Constructor("BenchWindow");
    auto* view = static_cast<QAbstractItemView*>(window->list->Widget());
    std::printf("%8s %10s %10s %10s %10s %10s\n", "KB", "area set", "area draw", "list add", "list draw",
                "list end");
    for (int kb : sizes) {
        QString text(qsizetype(kb) * 1024, QChar('a'));
        for (qsizetype i = 0; i < text.size(); ++i) text[i] = QChar('a' + int(i % 26));
        QElapsedTimer clock;
        clock.start();
        window->area->SetText(text);
        const double set = since(clock);
        window->area->Widget()->grab();
        const double draw = since(clock);
        window->list->DeleteAllRows();
        window->list->AddRow("short");
        window->list->AddRow(text);
        QCoreApplication::processEvents();
        const double add = since(clock);
        view->viewport()->grab();
        const double listDraw = since(clock);
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
        view->viewport()->grab();
        const double end = since(clock);
        std::printf("%8d %10.1f %10.1f %10.1f %10.1f %10.1f\n", kb, set, draw, add, listDraw, end);
    }
    window->Close();
    return 0;
}
