// Answering a definition test by dragging definitions onto each other, and scoring it
// with Done: the swaps and their locks, the count of wrong answers, the caption, the
// title, and the colours the list really draws.
#include "definition_test/word_defn_test_w.h"
#include "platform/listbox_parts.h"
#include "platform/menu_dispatch.h"
#include "platform/text_functions.h"
#include "search/window1.h"
#include "test_support.h"

#include <QMimeData>
#include <QScrollBar>
#include <QtTest>

namespace {
const QString kTitle = "Click & Drag Definitions to match Words";
const QString kLegend = " blue = correct, red = wrong";
// Five words of their own, and fifteen more for a list longer than the window.
QStringList withMore(QStringList first, const QString& pattern)
{
    for (int i = int(first.size()) + 1; i <= 20; ++i) first << pattern.arg(i);
    return first;
}
const QStringList kWords = withMore({"ant", "bee", "cat", "dog", "eel"}, "w%1");
const QStringList kDefinitions = withMore({"a small insect", "it makes honey", "a small feline", "a canine", ""},
                                          "definition %1");
const QColor kBlue(100, 100, 255), kRed(255, 100, 100), kWhite(255, 255, 255);
// The list's own background, set to a colour that no cell of a scored test takes.
const QColor kBase(250, 240, 200);
using Tags = QList<int>;
using Colours = QList<QColor>;
}  // namespace

class AnsweringScoringTest : public QObject {
    Q_OBJECT

    TestPackage* package_ = nullptr;

    Window1* main() { return Window1::Instance(); }
    WordDefnTestW* test()
    {
        return static_cast<WordDefnTestW*>(Window::GetImplicitWindow("WordDefnTestW.WordDefnTestW"));
    }
    Listbox* list() { return test()->ListBox2(); }
    QListView* view() { return static_cast<QListView*>(list()->Widget()); }
    QWidget* viewport() { return view()->viewport(); }

    // A test of the first words by the menu command, its definitions then put in the
    // order of the answer tags given.
    void startTest(const Tags& order)
    {
        main()->Listbox1()->DeleteAllRows();
        for (int i = 0; i < order.size(); ++i) {
            main()->Listbox1()->AddRow(kWords[i]);
            main()->Listbox1()->SetCellTag(i, 0, QString::number(i + 1));
        }
        main()->Show();
        DispatchMenuCommand(main()->OptionsDefinitiontest());
        QVERIFY(test());
        QCOMPARE(list()->ListCount(), order.size());
        for (int r = 0; r < order.size(); ++r) {
            list()->SetCell(r, 0, kDefinitions.value(order[r]));
            list()->SetCellTag(r, 0, QString::number(order[r]));
        }
    }

    // The answer tags in row order; a row whose text is not its tag's definition reads 99.
    Tags tags()
    {
        Tags result;
        for (int r = 0; r < list()->ListCount(); ++r) {
            const int tag = int(Val(list()->CellTag(r, 0)));
            result << (list()->Cell(r, 0) == kDefinitions.value(tag) ? tag : 99);
        }
        return result;
    }

    QPoint rowCentre(int row) { return view()->visualRect(view()->model()->index(row, 0)).center(); }

    // Drag events as the toolkit delivers them to the list while the user drags.
    bool dragEvents(QMimeData* mime, const QPoint& enterAt, const QPoint& dropAt)
    {
        QDragEnterEvent enter(enterAt, Qt::MoveAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport(), &enter);
        QDragMoveEvent move(dropAt, Qt::MoveAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport(), &move);
        QDropEvent drop(QPointF(dropAt), Qt::MoveAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport(), &drop);
        return enter.isAccepted() && drop.isAccepted();
    }

    // Row `from` dropped on row `to` (-1: below the last row), by the user's press and
    // drag or by the two handlers called directly.
    void swap(bool viaDrag, int from, int to)
    {
        if (!viaDrag) {
            QVERIFY(!test()->ListBox2_CellClick(list(), from, 0, 5, 5));
            QVERIFY(test()->ListBox2_DragReorderRows(list(), to, 0));
            return;
        }
        QTest::mousePress(viewport(), Qt::LeftButton, {}, rowCentre(from));
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, rowCentre(from));
        QCOMPARE(test()->clickedcell, from);
        const QPoint below(20, rowCentre(list()->ListCount() - 1).y() + 3 * 22);
        std::unique_ptr<QMimeData> mime(ListboxRowMimeData(list(), from));
        QVERIFY(dragEvents(mime.get(), rowCentre(from), to < 0 ? below : rowCentre(to)));
    }

    void pressDone() { QTest::mouseClick(test()->PushButton1()->Widget(), Qt::LeftButton); }

    // The colour the list draws in each row, taken at both ends of the cell (a cell whose
    // ends differ reads transparent), then the colour below the last row.
    Colours colours()
    {
        QPalette palette = viewport()->palette();
        palette.setColor(QPalette::Base, kBase);
        viewport()->setPalette(palette);
        const QImage shot = viewport()->grab().toImage();
        Colours result;
        for (int r = 0; r < list()->ListCount(); ++r) {
            const QRect cell = view()->visualRect(view()->model()->index(r, 0));
            const QColor left = shot.pixelColor(cell.left() + 1, cell.top() + 2);
            const QColor right = shot.pixelColor(cell.right() - 1, cell.bottom() - 2);
            result << (left == right && cell.width() == viewport()->width() ? left : QColor(Qt::transparent));
        }
        result << shot.pixelColor(10, shot.height() - 5);
        return result;
    }

private slots:
    void init()
    {
        package_ = new TestPackage;
        std::vector<WordRecord> records;
        for (int i = 0; i < kWords.size(); ++i) records.push_back({i + 1, kWords[i], "noun", kDefinitions[i]});
        package_->setWords(records);
        QVERIFY(StartProgram(*package_));
        main()->randomize->Seed(7);
    }

    void cleanup()
    {
        StopProgram();
        delete package_;
    }

    void dropsSwapTwoRowsOrNothing_data()
    {
        QTest::addColumn<bool>("viaDrag");
        QTest::addColumn<bool>("scored");
        QTest::addColumn<Tags>("before");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<Tags>("after");
        const Tags twoWrong = {1, 0, 2, 3};
        for (bool viaDrag : {false, true}) {
            const QByteArray how = viaDrag ? "drag: " : "handler: ";
            QTest::newRow(how + "answering, two right rows") << viaDrag << false << Tags{0, 1, 2, 3} << 0 << 2
                                                             << Tags{2, 1, 0, 3};
            QTest::newRow(how + "answering, upwards") << viaDrag << false << twoWrong << 3 << 0 << Tags{3, 0, 2, 1};
            QTest::newRow(how + "answering, onto itself") << viaDrag << false << twoWrong << 1 << 1 << twoWrong;
            QTest::newRow(how + "answering, below the last row") << viaDrag << false << twoWrong << 0 << -1 << twoWrong;
            QTest::newRow(how + "scored, right row dragged") << viaDrag << true << twoWrong << 2 << 0 << twoWrong;
            QTest::newRow(how + "scored, wrong onto right") << viaDrag << true << twoWrong << 0 << 3 << twoWrong;
            QTest::newRow(how + "scored, wrong onto wrong") << viaDrag << true << twoWrong << 1 << 0 << Tags{0, 1, 2, 3};
            QTest::newRow(how + "scored, below the last row") << viaDrag << true << twoWrong << 1 << -1 << twoWrong;
        }
    }

    void dropsSwapTwoRowsOrNothing()
    {
        QFETCH(bool, viaDrag);
        QFETCH(bool, scored);
        QFETCH(Tags, before);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(Tags, after);
        startTest(before);
        if (scored) pressDone();
        QCOMPARE(test()->isdone, scored);
        swap(viaDrag, from, to);
        QCOMPARE(tags(), after);
        for (int r = 0; r < 4; ++r) QCOMPARE(test()->ListBox1()->Cell(r, 0), kWords[r]);
    }

    void rowsOfOtherListsAreRefused()
    {
        startTest({1, 0, 2, 3});
        std::unique_ptr<QMimeData> otherList(ListboxRowMimeData(main()->Listbox1(), 0));
        // A row of another running copy of the program: same type, another process.
        std::unique_ptr<QMimeData> otherProgram(ListboxRowMimeData(list(), 0));
        const QString type = otherProgram->formats().first();
        otherProgram->setData(type, "1" + otherProgram->data(type));
        QVERIFY(!dragEvents(otherList.get(), rowCentre(0), rowCentre(1)));
        QVERIFY(!dragEvents(otherProgram.get(), rowCentre(0), rowCentre(1)));
        QCOMPARE(tags(), (Tags{1, 0, 2, 3}));
    }

    void draggingNearTheBottomEdgeScrollsTheList()
    {
        Tags order;
        for (int r = 0; r < 20; ++r) order << r;
        startTest(order);
        QCOMPARE(view()->verticalScrollBar()->value(), 0);
        QTest::mousePress(viewport(), Qt::LeftButton, {}, rowCentre(0));
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, rowCentre(0));
        std::unique_ptr<QMimeData> mime(ListboxRowMimeData(list(), 0));
        QDragEnterEvent enter(rowCentre(0), Qt::MoveAction, mime.get(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport(), &enter);
        // The pointer rests just above the bottom edge until the last row shows.
        const QPoint nearBottom(40, viewport()->height() - 6);
        QCursor::setPos(viewport()->mapToGlobal(nearBottom));
        QDragMoveEvent move(nearBottom, Qt::MoveAction, mime.get(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport(), &move);
        QTRY_VERIFY(rowCentre(19).y() < viewport()->height());
        QCursor::setPos(viewport()->mapToGlobal(rowCentre(19)));
        QVERIFY(dragEvents(mime.get(), rowCentre(19), rowCentre(19)));
        QCOMPARE(tags().first(), 19);
        QCOMPARE(tags().last(), 0);
    }

    void doneScoresAndColours_data()
    {
        QTest::addColumn<Tags>("order");
        QTest::addColumn<int>("wrong");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<Colours>("scored");
        QTest::newRow("all right") << Tags{0, 1, 2, 3} << 0 << "close" << Colours{kBlue, kBlue, kBlue, kBlue, kBase};
        QTest::newRow("two exchanged") << Tags{0, 3, 2, 1} << 2 << "Done" << Colours{kBlue, kRed, kBlue, kRed, kBase};
        QTest::newRow("empty beside its word") << Tags{0, 1, 2, 3, -1} << 0 << "close"
                                               << Colours{kBlue, kBlue, kBlue, kBlue, kWhite, kBase};
        QTest::newRow("empty beside another word") << Tags{0, -1, 2, 3, 1} << 1 << "Done"
                                                   << Colours{kBlue, kWhite, kBlue, kBlue, kRed, kBase};
    }

    void doneScoresAndColours()
    {
        QFETCH(Tags, order);
        QFETCH(int, wrong);
        QFETCH(QString, caption);
        QFETCH(Colours, scored);
        startTest(order);
        list()->SetListIndex(1);
        QCOMPARE(colours().size(), scored.size());
        QCOMPARE(colours().first(), kBase);
        pressDone();
        QVERIFY(test()->isdone);
        QCOMPARE(test()->wronganswers, wrong);
        QCOMPARE(test()->PushButton1()->Caption(), caption);
        QCOMPARE(test()->Title(), kTitle + kLegend);
        // Every cell is coloured edge to edge, the selected one too; below the last row
        // the list keeps its own background.
        QVERIFY(list()->Selected(1));
        QCOMPARE(colours(), scored);
    }

    void puttingRedRowsRightTurnsThemBlueAndTheNextDoneCloses()
    {
        startTest({0, 3, 2, 1});
        pressDone();
        const qint32 started = test()->starttime;
        swap(true, 3, 1);
        QCOMPARE(tags(), (Tags{0, 1, 2, 3}));
        QCOMPARE(colours(), (Colours{kBlue, kBlue, kBlue, kBlue, kBase}));
        QCOMPARE(test()->wronganswers, 2);
        QCOMPARE(test()->PushButton1()->Caption(), QString("Done"));
        pressDone();
        QCOMPARE(test()->wronganswers, 0);
        QCOMPARE(test()->PushButton1()->Caption(), QString("close"));
        QCOMPARE(test()->Title(), kTitle + kLegend);
        QCOMPARE(test()->starttime, started);
        QCOMPARE(test()->testtaketime, test()->endtime - test()->starttime);
        pressDone();
        QVERIFY(!test());
    }

    void newTestInAScoredWindowStartsFresh()
    {
        startTest({0, 1, 2, 3});
        pressDone();
        WordDefnTestW* scored = test();
        startTest({1, 0, 2, 3});
        QCOMPARE(test(), scored);
        QVERIFY(!test()->isdone);
        QCOMPARE(test()->Title(), kTitle);
        QCOMPARE(test()->PushButton1()->Caption(), QString("Done"));
        QCOMPARE(colours(), Colours(5, kBase));
        // Done scores the new test instead of closing the window.
        pressDone();
        QCOMPARE(test()->wronganswers, 2);
    }
};

QTEST_MAIN(AnsweringScoringTest)
#include "answering_scoring_test.moc"
