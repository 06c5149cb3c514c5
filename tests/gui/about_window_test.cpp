// The about window: one at most, from any front window; closing; resizing. (Its web address
// goes to the desktop in the end-to-end test.)
#include "app/app.h"
#include "definition_test/word_defn_test_w.h"
#include "help/about_lv.h"
#include "test_support.h"

#include <QLabel>
#include <QtTest>

class AboutWindowTest : public QObject {
    Q_OBJECT
    TestPackage package_;

private slots:
    void initTestCase() { package_.setWords({{1, "cat", "noun", "a small feline"}}); }
    void init() { QVERIFY(StartProgram(package_)); }
    void cleanup() { StopProgram(); }

    void oneWindowFromEveryFrontWindow_data()
    {
        QTest::addColumn<QString>("front");
        QTest::addColumn<QString>("close");
        QTest::addColumn<QSize>("size");
        QTest::newRow("main; OK; smallest") << "main" << "click" << QSize(64, 64);
        QTest::newRow("help; Return; below the minimum") << "help" << "return" << QSize(20, 10);
        QTest::newRow("definition test; close box; large") << "definition test" << "close box" << QSize(1000, 800);
    }

    void oneWindowFromEveryFrontWindow()
    {
        QFETCH(QString, front);
        QFETCH(QString, close);
        QFETCH(QSize, size);
        if (front == "help") App::Instance()->OptionsHelp_Action();
        if (front == "definition test") WordDefnTestW::Instance();
        Settle();
        QVERIFY(ChooseMenuItem("FileMenu", "about"));
        auto* about = dynamic_cast<aboutLV*>(Window::Front());
        QVERIFY(about && !about->TopLevelWidget()->isModal());
        auto* label = qobject_cast<QLabel*>(about->StaticText1()->Widget());
        QCOMPARE(label->text().split('\n'), QStringList({"Lexivane", "", "v 0.6.01", "", "the Lexivane developers"}));
        QVERIFY(label->textFormat() == Qt::PlainText && label->heightForWidth(172) <= 97);   // five lines fit
        QStringList spoken;   // what a screen reader reads: the label's lines, the buttons' captions
        for (const auto& control : about->Controls()) spoken << AccessibleText(control->Widget());
        QCOMPARE(spoken, QStringList({"Lexivane\n\nv 0.6.01\n\nthe Lexivane developers", "OK", "GoTo WebSite"}));
        ResizeContent(about, size);   // down to 64 x 64; the label and buttons stay put
        QTRY_COMPARE(about->ContentWidget()->size(), size.expandedTo(QSize(64, 64)));
        const QRect design[] = {{56, 16, 172, 97}, {191, 125, 80, 20}, {41, 125, 116, 20}};
        for (int i = 0; i < 3; ++i) QCOMPARE(about->Controls()[i]->Widget()->geometry(), design[i]);
        // About again brings the window forward.
        Window::GetImplicitWindow("Window1.Window1")->Show();
        Settle();
        QVERIFY(App::Instance()->Fileabout_Action());
        Settle();
        QVERIFY(Window::Front() == about && OpenCount<aboutLV>() == 1);
        // Closed in any way, the next command makes a new window with the design text.
        if (close == "click") QTest::mouseClick(about->PushButton1()->Widget(), Qt::LeftButton);
        if (close == "return") QTest::keyClick(about->ContentWidget(), Qt::Key_Return);
        if (close == "close box") about->TopLevelWidget()->close();
        Settle();
        QCOMPARE(OpenCount<aboutLV>(), 0);
        QVERIFY(App::Instance()->Fileabout_Action());
        QCOMPARE(aboutLV::Instance()->StaticText1()->Text(), "Lexivane\r\rv 0.6.01\r\rthe Lexivane developers");
    }
};

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
