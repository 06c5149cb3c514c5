// The main window after start-up: its state, menus and their enabling, resizing, the default
// button, and the top-level handling of a handler's exception.
#include "app/menu_bar1.h"
#include "search/window1.h"
#include "test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest>

class MainWindowTest : public QObject {
    Q_OBJECT
    TestPackage package_;
    Window1* w() { return Window1::Instance(); }

private slots:
    void initTestCase() { package_.setWords({{1, "cat", "noun", "a small feline"}}); }
    void init() { QVERIFY(StartProgram(package_)); }
    void cleanup() { StopProgram(); }

    void stateAfterStartUp()
    {
        // No close box, and a close request from elsewhere is refused: the window stays.
        QVERIFY(!(w()->TopLevelWidget()->windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!w()->TopLevelWidget()->close() && w()->TopLevelWidget()->isVisible());
        QCOMPARE(w()->StaticText3()->Text(), QString("0"));
        QCOMPARE(w()->Listbox1()->ListCount(), 0);
        QVERIFY(w()->EFdefinition()->Text().isEmpty() && w()->EFdefinition()->ReadOnly());
        auto* field = qobject_cast<QLineEdit*>(w()->EFfindword()->Widget());
        QVERIFY(field->text().isEmpty() && field->alignment() & Qt::AlignHCenter);
        QVERIFY(w()->EFfindword()->HasFocus() || QApplication::focusWidget() == field);
        QVERIFY(!w()->CheckBox1()->Value() && !w()->CheckBox2()->Value());
        // Only the count label has a tooltip.
        QStringList tips;
        for (const auto& control : w()->Controls())
            if (!control->HelpTag().isEmpty()) tips << control->Name() + ": " + control->HelpTag();
        QCOMPARE(tips, QStringList("StaticText3: number of words"));
        // A screen reader reads what is on screen, never the names above; the count as it changes.
        const auto spoken = [this] {
            QStringList texts;
            for (const auto& control : w()->Controls()) texts << AccessibleText(control->Widget());
            return texts;
        };
        const QStringList shown = {"Words", "Search", "Definitions", "Search", "do",
                                   "( a minus sign \"-\" searches for letter)",
                                   "Always open Dictionary on selected word", "0", "Speak"};
        QCOMPARE(spoken(), shown);
        w()->EFfindword()->SetText("c-t");
        w()->getwords();
        QStringList counted = shown;
        counted[7] = "1";
        QCOMPARE(spoken(), counted);
        QCOMPARE(AccessibleText(w()->Listbox1()->Widget(), QAccessible::Name, 0), QString("cat"));
    }

    void menuTreeInOrder()
    {
        QStringList texts;
        MenuItem* bar = MenuBar1::Instance();
        for (int i = 0; i < bar->Count(); ++i) {
            texts << bar->Item(i)->Text();
            for (int j = 0; j < bar->Item(i)->Count(); ++j) texts << bar->Item(i)->Item(j)->Text();
        }
        QCOMPARE(texts, QStringList({"&File", "about", "&Quit", "&Edit", "&Undo", "-", "Cu&t", "&Copy", "Copy List",
                                     "&Paste", "&Delete", "-", "Select &All", "Options", "Definition test", "-", "Help"}));
    }

    void enablingFollowsTheRowCount_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("copy");
        QTest::addColumn<bool>("test");
        QTest::newRow("empty") << 0 << false << false;
        QTest::newRow("one row") << 1 << true << false;
        QTest::newRow("two rows") << 2 << true << true;
    }

    void enablingFollowsTheRowCount()
    {
        QFETCH(int, rows);
        QFETCH(bool, copy);
        QFETCH(bool, test);
        for (int i = 0; i < 3; ++i) w()->Listbox1()->AddRow("word" + QString::number(i));
        w()->Listbox1()->RemoveRow(0);   // rows removed count as well as rows added
        while (w()->Listbox1()->ListCount() > rows) w()->Listbox1()->RemoveRow(0);
        QCOMPARE(ChooseMenuItem("EditMenu", "Copy List"), copy);   // as the user opens the menu
        QCOMPARE(w()->EditCopy()->Enabled(), copy);
        QCOMPARE(w()->OptionsDefinitiontest()->Enabled(), test);
        QVERIFY(w()->Fileabout()->Enabled() && w()->OptionsHelp()->Enabled() && w()->FileQuit()->Enabled());
        // As when a shortcut is typed: a disabled Copy List does nothing.
        QApplication::clipboard()->setText("untouched");
        w()->TopLevelWidget()->activateWindow();
        QTest::keyClick(w()->EFfindword()->Widget(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text() != "untouched", copy);
    }

    void listKeepsEveryRowThroughEdits()
    {
        // Texts and tags rewritten anywhere and rows removed, against a plain copy.
        Listbox* list = w()->Listbox1();
        QStringList texts, tags;
        for (int i = 0; i < 3000; ++i) {
            list->AddRow(texts.emplace_back(QString("row %1 é").arg(i)));
            list->SetCellTag(list->LastIndex(), 0, QString::number(i));
            list->SetCellTag(list->LastIndex(), 0, list->CellTag(list->LastIndex(), 0) + ",x");
            tags << QString::number(i) + ",x";
        }
        // A tag read and changed by its reader, but not written back, stays as it was.
        QString taken = list->CellTag(list->LastIndex(), 0);
        taken += ",changed";
        QCOMPARE(list->CellTag(list->LastIndex(), 0) + list->CellTag(list->LastIndex(), 0), tags.last() + tags.last());
        for (int i = 0; i < 12000; ++i) {   // enough to outweigh the live texts
            const int row = (i * 7919) % list->ListCount();
            if (i % 3 == 0) list->SetCell(row, 0, texts[row] = QString(i % 80, u'w'));
            else if (i % 3 == 1) list->SetCellTag(row, 0, tags[row] = QString::number(i));
            else if (i % 5 == 0) list->RemoveRow(row), texts.removeAt(row), tags.removeAt(row);
        }
        QStringList shownTexts, shownTags;
        for (int row = 0; row < list->ListCount(); ++row) shownTexts << list->Cell(row, 0), shownTags << list->CellTag(row, 0);
        QCOMPARE(shownTexts, texts);
        QCOMPARE(shownTags, tags);
    }

    void resizingMovesOnlyTheLockedControls()
    {
        QList<QRect> expected;
        for (const auto& control : w()->Controls()) expected << control->Widget()->geometry();
        for (int height : {650, 400}) {
            ResizeContent(w(), QSize(700, height));   // the width stays 600
            QTRY_COMPARE(w()->ContentWidget()->size(), QSize(600, height));
            expected[0] = QRect(0, 1, 353, height - 1);         // Listbox1
            expected[2] = QRect(354, 169, 246, height - 189);   // EFdefinition
            for (int i = 0; i < expected.size(); ++i) QCOMPARE(w()->Controls()[i]->Widget()->geometry(), expected[i]);
        }
        ResizeContent(w(), QSize(500, 100));
        QTRY_COMPARE(w()->ContentWidget()->size(), QSize(600, 400));
    }

    // A caption narrows only when it would be cut off (two pixels spare), and never below 70 percent.
    void captionNarrowsOnlyWhenCut()
    {
        QWidget* label = w()->StaticText3()->Widget();
        QFont plain = label->font();
        plain.setStretch(QFont::Unstretched);
        const int width = QFontMetrics(plain).horizontalAdvance("number of words");
        w()->StaticText3()->SetText("number of words");
        for (const auto& [room, stretches] : {std::pair{width + 2, false}, {width + 1, true}, {width / 2, true}}) {
            label->resize(room, label->height());
            QCOMPARE(label->font().stretch() < QFont::Unstretched, stretches);
        }
        QCOMPARE(label->font().stretch(), 70);
    }

    void returnAndEnterPressTheDefaultButton()
    {
        int presses = 0;
        w()->PushButton1()->Action = [&] { ++presses; };
        w()->EFfindword()->SetFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) QTest::keyClick(w()->EFfindword()->Widget(), key);
        QCOMPARE(presses, 2);
    }

    void handlerExceptionIsReportedAndTheProgramGoesOn()
    {
        const std::pair<std::function<void()>, QString> cases[] = {
            {[] { throw NilObjectException(); }, "NilObjectException"},
            {[] { throw std::runtime_error("broken <b>handler</b>"); }, "broken <b>handler</b>"}};
        for (const auto& [thrower, text] : cases) {
            w()->PushButton1()->Action = thrower;
            QString shown;
            AnswerNextModal([&](QWidget* box) {   // the text as it stands, not as markup
                shown = ModalText(box);
                QCOMPARE(qobject_cast<QMessageBox*>(box)->textFormat(), Qt::PlainText);
                ClickButton(box, "OK");
            });
            w()->PushButton1()->Push();
            QTRY_VERIFY2(shown.contains(text), qPrintable(shown));
        }
        QVERIFY(w()->Listbox1()->ListCount() == 0 && Window::Front() == w());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
