// Answering a definition test by dragging definitions onto each other, and scoring it with Done.
#include "definition_test/word_defn_test_w.h"
#include "platform/listbox_parts.h"
#include "platform/menu_dispatch.h"
#include "search/window1.h"
#include "test_support.h"

#include <QtTest>

namespace {
const QString kTitle = "Click & Drag Definitions to match Words", kLegend = " blue = correct, red = wrong";
QString definition(int tag) { return tag < 0 ? QString() : QString("definition %1").arg(tag); }
using Tags = QList<int>;
}  // namespace

class AnsweringScoringTest : public QObject {
    Q_OBJECT

    TestPackage package_;
    WordDefnTestW* test() { return WordDefnTestW::Instance(); }
    Listbox* list() { return test()->ListBox2(); }
    QListView* view() { return static_cast<QListView*>(list()->Widget()); }
    QWidget* viewport() { return view()->viewport(); }
    QRect cell(int row) { return view()->visualRect(view()->model()->index(row, 0)); }
    void pressDone() { QTest::mouseClick(test()->PushButton1()->Widget(), Qt::LeftButton); }

    // A test whose definitions stand in the order of the answer tags given.
    void startTest(const Tags& order)
    {
        for (int r = 0; r < order.size(); ++r) {
            list()->AddRow(definition(order[r]));
            list()->SetCellTag(r, 0, QString::number(order[r]));
        }
    }

    // The user drags row `from` (or what `data` carries) onto row `to`, or below the last row (-1).
    bool drag(int from, int to, QMimeData* data = nullptr)
    {
        QTest::mouseClick(viewport(), Qt::LeftButton, {}, cell(from).center());
        std::unique_ptr<QMimeData> own(ListboxRowMimeData(list(), from));
        data = data ? data : own.get();
        const QPoint at = to < 0 ? QPoint(20, viewport()->height() - 2) : cell(to).center();
        QDragEnterEvent enter(cell(from).center(), Qt::MoveAction, data, Qt::LeftButton, {});
        QDragMoveEvent move(at, Qt::MoveAction, data, Qt::LeftButton, {});
        QDropEvent drop(QPointF(at), Qt::MoveAction, data, Qt::LeftButton, {});
        for (QEvent* event : std::initializer_list<QEvent*>{&enter, &move, &drop})
            QApplication::sendEvent(viewport(), event);
        return enter.isAccepted() && drop.isAccepted() && test()->clickedcell == from;
    }

    // What the user sees: the colours of the rows and below them (blue, red, white, '-' the list's
    // own, '?' another or uneven); what a screen reader says of each row ('b' right, 'r' wrong,
    // '-' nothing); the wrong answers, the caption and the title.
    QString state()
    {
        viewport()->setBackgroundRole(QPalette::Window);  // a colour that no scored cell takes
        const QImage shot = viewport()->grab().toImage();
        const QHash<QRgb, char> code = {{viewport()->palette().window().color().rgb(), '-'}, {qRgb(100, 100, 255), 'b'},
                                        {qRgb(255, 100, 100), 'r'}, {qRgb(255, 255, 255), 'w'}};
        const int rows = list()->ListCount();
        QString colours;
        for (int r = 0; r <= rows; ++r) {
            const QRect c = r < rows ? cell(r).adjusted(1, 2, -1, -2) : QRect(9, shot.height() - 5, 2, 1);
            const QRgb left = shot.pixel(c.topLeft());
            colours += code.value(left == shot.pixel(c.bottomRight()) ? left : 0, '?');
        }
        QString said;
        for (int r = 0; r < rows; ++r) {
            const QString description = AccessibleText(view(), QAccessible::Description, r);
            said += description == "right" ? 'b' : description == "wrong" ? 'r' : description.isEmpty() ? '-' : '?';
        }
        return QString("%1 %2 %3 %4 %5").arg(colours, said).arg(test()->wronganswers).arg(test()->PushButton1()->Caption())
            .arg(test()->Title()).replace(kTitle, "T").replace(kLegend, "+legend");
    }

private slots:
    void init()
    {
        package_.setWords({{1, "w0", "noun", "definition 0"}});
        QVERIFY(StartProgram(package_));
    }
    void cleanup() { StopProgram(); }

    // From definitions 0 and 1 exchanged, rows 2 and 3 right, an empty definition in row 4.
    void dropsSwapTwoRowsOrNothing_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<Tags>("after");
        QTest::newRow("answering, two right rows") << 2 << 3 << Tags{1, 0, 3, 2, -1};
        QTest::newRow("answering, onto itself") << 1 << 1 << Tags{1, 0, 2, 3, -1};
        QTest::newRow("answering, below the last row") << 0 << -1 << Tags{1, 0, 2, 3, -1};
        QTest::newRow("scored, right row dragged") << 2 << 0 << Tags{1, 0, 2, 3, -1};
        QTest::newRow("scored, wrong onto right") << 0 << 3 << Tags{1, 0, 2, 3, -1};
        QTest::newRow("scored, wrong onto wrong") << 1 << 0 << Tags{0, 1, 2, 3, -1};
        QTest::newRow("scored, empty onto wrong") << 4 << 0 << Tags{-1, 0, 2, 3, 1};
    }

    void dropsSwapTwoRowsOrNothing()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(Tags, after);
        startTest({1, 0, 2, 3, -1});
        if (QByteArray(QTest::currentDataTag()).startsWith("scored")) pressDone();
        QVERIFY(drag(from, to));
        for (int r = 0; r < after.size(); ++r)
            QCOMPARE(list()->Cell(r, 0) + list()->CellTag(r, 0), definition(after[r]) + QString::number(after[r]));
    }

    // Near the bottom edge a drag scrolls the list, so that a definition can be dropped on a
    // row that was out of sight: a test of twenty words is taller than its list.
    void dragNearTheBottomEdgeReachesRowsOutOfSight()
    {
        Tags order;
        for (int r = 0; r < 20; ++r) order << r;
        startTest(order);
        QTest::mouseClick(viewport(), Qt::LeftButton, {}, cell(0).center());
        std::unique_ptr<QMimeData> mime(ListboxRowMimeData(list(), 0));
        QDragEnterEvent enter(cell(0).center(), Qt::MoveAction, mime.get(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport(), &enter);
        const QPoint nearBottom(40, viewport()->height() - 6);
        QCursor::setPos(viewport()->mapToGlobal(nearBottom));   // the pointer rests there
        QDragMoveEvent move(nearBottom, Qt::MoveAction, mime.get(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport(), &move);
        const bool lastRowShows = QTest::qWaitFor([this] { return cell(19).bottom() < viewport()->height(); });
        // Dropped either way, so that no drag outlives the test.
        QDropEvent drop(QPointF(cell(19).center()), Qt::MoveAction, mime.get(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport(), &drop);
        QVERIFY(lastRowShows);
        QCOMPARE(list()->CellTag(0, 0) + " " + list()->CellTag(19, 0), QString("19 0"));
    }

    void rowsOfOtherListsAreRefused()
    {
        startTest({1, 0});
        Window1::Instance()->Listbox1()->AddRow("w0");
        std::unique_ptr<QMimeData> otherList(ListboxRowMimeData(Window1::Instance()->Listbox1(), 0));
        // A row of another running copy of the program: same type, another process.
        std::unique_ptr<QMimeData> otherProgram(ListboxRowMimeData(list(), 0));
        const QString type = otherProgram->formats().first();
        otherProgram->setData(type, "1" + otherProgram->data(type));
        QVERIFY(!drag(0, 1, otherList.get()) && !drag(0, 1, otherProgram.get()));
        QCOMPARE(list()->CellTag(0, 0) + list()->CellTag(1, 0), QString("10"));
    }

    // Every cell is coloured edge to edge, the selected one too; "close" closes the window.
    void doneScoresAndColours_data()
    {
        QTest::addColumn<Tags>("order");
        QTest::addColumn<QString>("scored");
        QTest::newRow("all right") << Tags{0, 1, 2, 3} << "bbbb- bbbb 0 close T+legend";
        QTest::newRow("two exchanged") << Tags{0, 3, 2, 1} << "brbr- brbr 2 Done T+legend";
        QTest::newRow("empty beside its word") << Tags{0, 1, 2, 3, -1} << "bbbbw- bbbb- 0 close T+legend";
        QTest::newRow("empty beside another word") << Tags{0, -1, 2, 3, 1} << "bwbbr- b-bbr 1 Done T+legend";
    }

    void doneScoresAndColours()
    {
        QFETCH(Tags, order);
        QFETCH(QString, scored);
        startTest(order);
        QCOMPARE(state(), QString(order.size() + 1, '-') + " " + QString(order.size(), '-') + " 0 Done T");
        list()->SetListIndex(1);
        pressDone();
        QVERIFY(test()->isdone && list()->Selected(1));
        QCOMPARE(state(), scored);
        pressDone();
        QCOMPARE(!Window::GetImplicitWindow("WordDefnTestW.WordDefnTestW"), scored.contains("close"));
    }

    // Red rows put right turn blue, and are said to be right; Done scores again. A new test then
    // starts afresh, with no colours and no words for them.
    void redRowsPutRightThenANewTestInTheSameWindow()
    {
        startTest({0, 3, 2, 1});
        pressDone();
        QVERIFY(drag(3, 1));
        QCOMPARE(state(), QString("bbbb- bbbb 2 Done T+legend"));
        pressDone();
        QCOMPARE(state(), QString("bbbb- bbbb 0 close T+legend"));
        WordDefnTestW* scored = test();
        Window1::Instance()->Show();
        DispatchMenuCommand(Window1::Instance()->OptionsDefinitiontest());
        QVERIFY(test() == scored && !test()->isdone);
        QCOMPARE(state(), QString("-  0 Done T"));
        startTest({1, 0});
        QCOMPARE(state(), QString("--- -- 0 Done T"));
        pressDone();
        QCOMPARE(state(), QString("rr- rr 2 Done T+legend"));
    }
};

QTEST_MAIN(AnsweringScoringTest)
#include "answering_scoring_test.moc"
