// The result list's context menu (look up, remove) and the list on the clipboard through
// Copy and Copy List.
#include "platform/menu_item.h"
#include "search/window1.h"
#include "test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QUrl>
#include <QtTest>

class ListMenuCopyTest : public QObject {
    Q_OBJECT

    TestPackage* package_ = nullptr;
    QList<QUrl> urls_;

    Window1* w() { return Window1::Instance(); }
    Listbox* list() { return w()->Listbox1(); }
    QListView* view() { return qobject_cast<QListView*>(list()->Widget()); }

    void search(const QString& text)
    {
        w()->EFfindword()->SetText("");
        w()->EFfindword()->SetFocus();
        QTest::keyClicks(w()->EFfindword()->Widget(), text);
        QTest::keyClick(w()->EFfindword()->Widget(), Qt::Key_Return);
    }

    QStringList rows()
    {
        QStringList words;
        for (int i = 0; i < list()->ListCount(); ++i) words << list()->Cell(i, 0);
        return words;
    }

    // Builds the context menu as the list does and chooses the item with this text.
    void choose(const QString& text)
    {
        MenuItem base;
        QVERIFY(w()->Listbox1_ConstructContextualMenu(list(), &base, 5, 5));
        for (int i = 0; i < base.Count(); ++i) {
            if (base.Item(i)->Text() == text) {
                QCOMPARE(w()->Listbox1_ContextualMenuAction(list(), base.Item(i)), false);
                return;
            }
        }
        QFAIL(qPrintable("no item " + text));
    }

    // A right-click on the row through the window system, as the user makes it. The
    // popup that shows (if any) is answered by `answer`; returns the texts it offered.
    QStringList rightClick(int row, const QString& answer)
    {
        QStringList offered;
        QPointer<QTimer> timer = new QTimer;
        timer->setInterval(10);
        connect(timer, &QTimer::timeout, [&offered, answer, timer] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible()) return;
            timer->stop();
            QAction* chosen = nullptr;
            for (QAction* action : menu->actions()) {
                offered << action->text();
                if (action->text() == answer) chosen = action;
            }
            if (!chosen) {
                menu->close();
                return;
            }
            menu->setActiveAction(chosen);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        timer->start();
        const QRect cell = row >= 0 ? view()->visualRect(view()->model()->index(row, 0))
                                    : QRect(view()->viewport()->rect().bottomLeft() - QPoint(-5, 10), QSize(1, 1));
        QWidget* top = w()->TopLevelWidget();
        const QPoint at = view()->viewport()->mapTo(top, cell.center());
        QTest::mouseClick(top->windowHandle(), Qt::RightButton, {}, at);
        delete timer;
        return offered;
    }

public slots:
    void openDictionary(const QUrl& url) { urls_ << url; }

private slots:
    void init()
    {
        package_ = new TestPackage;
        package_->setWords({{1, "cat", "noun", "a small feline"},
                            {2, "cot", "noun", "a small bed"},
                            {3, "cut", "verb", "to divide"},
                            {4, "dog", "noun", "a domestic canine"}});
        QVERIFY(StartProgram(*package_));
        QDesktopServices::setUrlHandler("dict", this, "openDictionary");
        urls_.clear();
        search("c-t");
        QCOMPARE(rows(), QStringList({"cat", "cot", "cut"}));
        QCOMPARE(w()->StaticText3()->Text(), QString("3"));
    }

    void cleanup()
    {
        QDesktopServices::unsetUrlHandler("dict");
        StopProgram();
        delete package_;
    }

    void menuItemsOnlyWhileARowIsSelected()
    {
        MenuItem empty;
        QCOMPARE(w()->Listbox1_ConstructContextualMenu(list(), &empty, 10, 10), false);
        QCOMPARE(empty.Count(), 0);

        list()->SetListIndex(2);
        MenuItem base;
        QCOMPARE(w()->Listbox1_ConstructContextualMenu(list(), &base, 10, 10), true);
        QCOMPARE(base.Count(), 2);
        QCOMPARE(base.Item(0)->Text(), QString("Look up in dictionary"));
        QCOMPARE(base.Item(1)->Text(), QString("Remove from list"));
        QCOMPARE(base.Item(0)->Tag().toString(), QString());
        QCOMPARE(base.Item(1)->Tag().toString(), QString());
    }

    void rightClickThroughTheView()
    {
        // Nothing selected: no menu shows.
        QCOMPARE(rightClick(-1, QString()), QStringList());
        QCOMPARE(rows(), QStringList({"cat", "cot", "cut"}));

        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {},
                          view()->visualRect(view()->model()->index(1, 0)).center());
        QCOMPARE(list()->ListIndex(), 1);
        QCOMPARE(rightClick(1, "Remove from list"), QStringList({"Look up in dictionary", "Remove from list"}));
        QCOMPARE(rows(), QStringList({"cat", "cut"}));
        QCOMPARE(w()->StaticText3()->Text(), QString("3"));
        QVERIFY(!QApplication::activePopupWidget());
    }

    void removeTheMiddleRow()
    {
        w()->CheckBox1()->SetValue(true);
        list()->SetListIndex(1);
        urls_.clear();
        choose("Remove from list");
        QCOMPARE(rows(), QStringList({"cat", "cut"}));
        QCOMPARE(w()->StaticText3()->Text(), QString("3"));
        // The selection goes with the removed row: no other word is taken as chosen.
        QCOMPARE(list()->ListIndex(), -1);
        QVERIFY(urls_.isEmpty());
    }

    void removingTheOnlyRowDisablesTheCopyCommands()
    {
        search("d-g");
        QCOMPARE(rows(), QStringList({"dog"}));
        RefreshMenus();
        QVERIFY(w()->EditCopy()->Enabled());
        QVERIFY(w()->EditCopyList()->Enabled());

        list()->SetListIndex(0);
        choose("Remove from list");
        QCOMPARE(list()->ListCount(), 0);
        QCOMPARE(w()->StaticText3()->Text(), QString("1"));
        RefreshMenus();
        QVERIFY(!w()->EditCopy()->Enabled());
        QVERIFY(!w()->EditCopyList()->Enabled());
        // Nothing selected any more: the context menu offers nothing.
        MenuItem base;
        QCOMPARE(w()->Listbox1_ConstructContextualMenu(list(), &base, 0, 0), false);
    }

    void lookUpHandsTheWordToTheDictionary()
    {
        list()->SetListIndex(1);
        choose("Look up in dictionary");
        QCOMPARE(urls_.size(), 1);
        QCOMPARE(urls_[0].scheme(), QString("dict"));
        QCOMPARE(urls_[0].path(), QString("/cot"));
        QCOMPARE(urls_[0].toEncoded(), QByteArray("dict:///cot"));
        QCOMPARE(rows(), QStringList({"cat", "cot", "cut"}));
    }

    void listOnTheClipboard_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("expected");
        const QString all = "similar words to c-t\r\rcat\rcot\rcut\r";
        QTest::newRow("Ctrl+C") << "Ctrl+C" << -1 << "" << -1 << all;
        QTest::newRow("Ctrl+L") << "Ctrl+L" << -1 << "" << -1 << all;
        QTest::newRow("Copy handler") << "EditCopy" << -1 << "" << -1 << all;
        QTest::newRow("Copy List handler") << "EditCopyList" << -1 << "" << -1 << all;
        QTest::newRow("Ctrl+C, one row selected") << "Ctrl+C" << 1 << "" << -1 << all;
        QTest::newRow("Ctrl+L, one row selected") << "Ctrl+L" << 2 << "" << -1 << all;
        QTest::newRow("field edited") << "Ctrl+L" << -1 << "b-g" << -1
                                      << "similar words to b-g\r\rcat\rcot\rcut\r";
        QTest::newRow("field edited, Copy") << "Ctrl+C" << -1 << "-o-" << -1
                                            << "similar words to -o-\r\rcat\rcot\rcut\r";
        QTest::newRow("after a removal") << "Ctrl+C" << -1 << "" << 1 << "similar words to c-t\r\rcat\rcut\r";
    }

    void listOnTheClipboard()
    {
        QFETCH(QString, command);
        QFETCH(int, selected);
        QFETCH(QString, field);
        QFETCH(int, removed);
        QFETCH(QString, expected);
        if (removed >= 0) {
            list()->SetListIndex(removed);
            choose("Remove from list");
        }
        if (!field.isEmpty()) {
            w()->EFfindword()->SetFocus();
            QTest::keyClick(w()->EFfindword()->Widget(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(w()->EFfindword()->Widget(), field);
            QCOMPARE(w()->EFfindword()->Text(), field);
        }
        QWidget* target = w()->EFfindword()->Widget();
        if (selected >= 0) {
            list()->SetListIndex(selected);
            list()->SetFocus();
            target = list()->Widget();
        }
        QApplication::clipboard()->setText("untouched");
        w()->TopLevelWidget()->activateWindow();
        if (command == "Ctrl+C") QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier);
        else if (command == "Ctrl+L") QTest::keyClick(target, Qt::Key_L, Qt::ControlModifier);
        else if (command == "EditCopy") QVERIFY(w()->EditCopy_Action());
        else QVERIFY(w()->EditCopyList_Action());
        QCOMPARE(QApplication::clipboard()->text().toUtf8(), expected.toUtf8());
    }
};

QTEST_MAIN(ListMenuCopyTest)
#include "list_menu_copy_test.moc"
