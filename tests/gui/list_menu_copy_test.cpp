// The result list's context menu (look up, remove), and Copy and Copy List of the list.
#include "search/window1.h"
#include "test_support.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QListView>
#include <QMenu>
#include <QtTest>

class ListMenuCopyTest : public QObject {
    Q_OBJECT

    TestPackage* package_ = nullptr;
    QStringList urls_;

    Window1* w() { return Window1::Instance(); }
    Listbox* list() { return w()->Listbox1(); }

    QString rows()
    {
        QStringList words;
        for (int i = 0; i < list()->ListCount(); ++i) words << list()->Cell(i, 0);
        return words.join(' ');
    }

    // The user right-clicks the list on this row (on its top when there is none); chooses
    // `answer` in the popup that shows, if any, and returns the texts it offered.
    QStringList rightClick(int row, const QString& answer)
    {
        QStringList offered;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible()) return;
            timer.stop();
            for (QAction* action : menu->actions()) {
                offered << action->text();
                if (action->text() == answer) menu->setActiveAction(action);
            }
            QTest::keyClick(menu, Qt::Key_Return);
        });
        timer.start(10);
        auto* view = static_cast<QListView*>(list()->Widget());
        const QModelIndex index = view->model()->index(row, 0);
        const QPoint at = view->viewport()->mapTo(w()->TopLevelWidget(),
                                                  index.isValid() ? view->visualRect(index).center() : QPoint(5, 5));
        QTest::mousePress(w()->TopLevelWidget()->windowHandle(), Qt::RightButton, {}, at);
        QTest::mouseRelease(w()->TopLevelWidget()->windowHandle(), Qt::RightButton, {}, at);
        // The window takes keys again once the popup has gone and it is active once more (the
        // offscreen platform, unlike a desktop, does not always hand activation back).
        if (!QTest::qWaitFor([] { return !QApplication::activePopupWidget(); }, 60000)) offered << "(popup stayed)";
        w()->TopLevelWidget()->activateWindow();
        if (!QTest::qWaitForWindowActive(w()->TopLevelWidget(), 60000)) offered << "(window stayed inactive)";
        return offered;
    }

public slots:
    void openDictionary(const QUrl& url) { urls_ << QString::fromUtf8(url.toEncoded()); }

private slots:
    void init()
    {
        package_ = new TestPackage;
        package_->setWords({{1, "cat", "noun", "d1"}, {2, "cot", "noun", "d2"}, {3, "cut", "verb", "d3"}});
        QVERIFY(StartProgram(*package_));
        QDesktopServices::setUrlHandler("dict", this, "openDictionary");
        w()->EFfindword()->SetText("c-t");
        w()->getwords();
    }

    void cleanup()
    {
        QDesktopServices::unsetUrlHandler("dict");
        StopProgram();
        delete package_;
        urls_.clear();
    }

    void contextMenuLooksUpAndRemoves()
    {
        // Nothing selected: no items, and no popup; the right press selects nothing.
        MenuItem empty;
        QVERIFY(!w()->Listbox1_ConstructContextualMenu(list(), &empty, 10, 10) && empty.Count() == 0);
        QCOMPARE(rightClick(0, "Remove from list"), QStringList());
        QCOMPARE(list()->ListIndex(), -1);
        list()->SetListIndex(1);
        w()->CheckBox1()->SetValue(true);
        // A click on another row keeps the selection: no dictionary for a word not chosen, and
        // the command acts on the selected word.
        QCOMPARE(rightClick(2, "Look up in dictionary"), QStringList({"Look up in dictionary", "Remove from list"}));
        QCOMPARE(urls_, QStringList{"dict:///cot"});
        QCOMPARE(list()->ListIndex(), 1);
        QCOMPARE(rows(), QString("cat cot cut"));
        rightClick(0, "Remove from list");
        QCOMPARE(rows(), QString("cat cut"));
        // The selection goes with the removed row: no other word is taken as chosen.
        QCOMPARE(list()->ListIndex(), -1);
        QCOMPARE(urls_.size(), 1);
        QCOMPARE(w()->StaticText3()->Text(), QString("3"));   // the count keeps its number
        // The commands are known by their text in any letter case; the last row goes as any other.
        list()->SetListIndex(1);
        MenuItem lookUp("LOOK UP in dictionary", ""), remove("remove FROM LIST", "");
        w()->Listbox1_ContextualMenuAction(list(), &lookUp);
        QCOMPARE(urls_, QStringList({"dict:///cot", "dict:///cut", "dict:///cut"}));
        w()->Listbox1_ContextualMenuAction(list(), &remove);
        QCOMPARE(rows(), QString("cat"));
    }

    void listOnTheClipboard()
    {
        const auto copied = [&](Qt::Key key, Listbox* focus) {
            QApplication::clipboard()->setText("untouched");
            QTest::keyClick(focus ? focus->Widget() : w()->EFfindword()->Widget(), key, Qt::ControlModifier);
            return QApplication::clipboard()->text();
        };
        const QString all = "similar words to c-t\r\rcat\rcot\rcut\r";
        QCOMPARE(copied(Qt::Key_C, nullptr), all);
        // With one row selected, the copy still holds every row.
        list()->SetListIndex(1);
        list()->SetFocus();
        QCOMPARE(copied(Qt::Key_C, list()), all);
        // The header shows the field's new text above the old list.
        w()->EFfindword()->SetText("b-g");
        QCOMPARE(copied(Qt::Key_L, list()), "similar words to b-g\r\rcat\rcot\rcut\r");
        rightClick(1, "Remove from list");
        QCOMPARE(copied(Qt::Key_C, nullptr), "similar words to b-g\r\rcat\rcut\r");
    }
};

QTEST_MAIN(ListMenuCopyTest)
#include "list_menu_copy_test.moc"
