// Selecting a word in the main list: its definitions in the definition area, then the
// dictionary address, then the spoken text; a record set without definitions; speech
// with no engine.
#include "platform/desktop.h"
#include "platform/runtime.h"
#include "search/window1.h"
#include "test_support.h"

#include <QDesktopServices>
#include <QPlainTextEdit>
#include <QUrl>
#include <QtTest>

class DefinitionDisplayTest : public QObject {
    Q_OBJECT

    TestPackage* package_ = nullptr;
    // What reached the desktop and the speech engine, in order.
    QStringList events_;
    QList<QUrl> urls_;
    QString areaWhenUrlArrived_;

    Window1* w() { return Window1::Instance(); }

    void setRows(const QList<QPair<QString, QString>>& rows)
    {
        Listbox* list = w()->Listbox1();
        list->DeleteAllRows();
        for (const auto& [word, ids] : rows) {
            list->AddRow(word);
            list->SetCellTag(list->LastIndex(), 0, ids);
        }
    }

    QPlainTextEdit* shownArea() { return qobject_cast<QPlainTextEdit*>(w()->EFdefinition()->Widget()); }

    void listen()
    {
        QDesktopServices::setUrlHandler("dict", this, "openDictionary");
        SetSpeechSinkForTesting([this](const QString& text, bool interrupt) {
            events_ << QString("speak%1:%2").arg(interrupt ? "!" : "").arg(text);
        });
    }

public slots:
    void openDictionary(const QUrl& url)
    {
        urls_ << url;
        areaWhenUrlArrived_ = w()->EFdefinition()->Text();
        events_ << "url:" + QUrl::fromPercentEncoding(url.toEncoded());
    }

private slots:
    void init()
    {
        package_ = new TestPackage;
        package_->setWords({{3, "dog", "noun", "line one\rline two"},
                            {4, "dog", "noun", "<b>markup</b> &amp; more"},
                            {12, "cat", "noun", "def12"},
                            {57, "cat", "verb", "def57"}});
        QVERIFY(StartProgram(*package_));
        events_.clear();
        urls_.clear();
        areaWhenUrlArrived_.clear();
    }

    void cleanup()
    {
        QDesktopServices::unsetUrlHandler("dict");
        SetUnhandledExceptionObserver({});
        StopProgram();
        delete package_;
    }

    void definitionAreaAfterSelection_data()
    {
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one id") << "12" << "def12";
        QTest::newRow("two ids") << "12,57" << "1.  def12\r2.  def57\r";
        QTest::newRow("first id missing") << "99,57" << "2.  def57\r";
        QTest::newRow("middle id missing") << "12,99,57" << "1.  def12\r3.  def57\r";
        QTest::newRow("no id found") << "98,99" << "";
        // The previous selection's text stays.
        QTest::newRow("one id missing") << "99" << "line one\rline two";
        QTest::newRow("carriage returns kept") << "3" << "line one\rline two";
        QTest::newRow("markup kept") << "4" << "<b>markup</b> &amp; more";
        QTest::newRow("numbered with markup and returns")
            << "3,4" << "1.  line one\rline two\r2.  <b>markup</b> &amp; more\r";
    }

    void definitionAreaAfterSelection()
    {
        QFETCH(QString, ids);
        QFETCH(QString, expected);
        setRows({{"dog", "3"}, {"word", ids}});
        w()->Listbox1()->SetListIndex(0);
        QCOMPARE(w()->EFdefinition()->Text(), QString("line one\rline two"));
        w()->Listbox1()->SetListIndex(1);
        QCOMPARE(w()->EFdefinition()->Text(), expected);
        // Shown as plain text, each carriage return a line break.
        QString shown = expected;
        shown.replace('\r', '\n');
        QCOMPARE(shownArea()->toPlainText(), shown);
    }

    void clearingTheSelectionEmptiesTheAreaOnly()
    {
        listen();
        setRows({{"cat", "12,57"}});
        w()->Listbox1()->SetListIndex(0);
        w()->CheckBox1()->SetValue(true);
        w()->CheckBox2()->SetValue(true);
        w()->Listbox1()->SetListIndex(-1);
        QCOMPARE(w()->Listbox1()->SelCount(), 0);
        QCOMPARE(w()->EFdefinition()->Text(), QString());
        QCOMPARE(events_, QStringList());
    }

    void displayThenDictionaryThenSpeech()
    {
        listen();
        setRows({{"dog", "3"}, {"cat", "12,57"}, {"cow", "99"}, {"cat", "12"}});
        w()->Listbox1()->SetListIndex(0);
        // Ticking the boxes does nothing for the row already selected.
        QTest::mouseClick(w()->CheckBox1()->Widget(), Qt::LeftButton);
        QTest::mouseClick(w()->CheckBox2()->Widget(), Qt::LeftButton);
        QVERIFY(w()->alwaysOpenDictionary && w()->UseSpeak);
        QCOMPARE(events_, QStringList());

        w()->Listbox1()->SetListIndex(1);
        QCOMPARE(events_, QStringList({"url:dict:///cat", "speak!:cat  ,,1.  def12\r2.  def57\r"}));
        QCOMPARE(areaWhenUrlArrived_, QString("1.  def12\r2.  def57\r"));

        // An id without a record: the old text is spoken under the new word.
        events_.clear();
        w()->Listbox1()->SetListIndex(2);
        QCOMPARE(events_, QStringList({"url:dict:///cow", "speak!:cow  ,,1.  def12\r2.  def57\r"}));

        // Each box on its own, and again only from the next selection on.
        events_.clear();
        QTest::mouseClick(w()->CheckBox1()->Widget(), Qt::LeftButton);
        QVERIFY(!w()->alwaysOpenDictionary);
        QCOMPARE(events_, QStringList());
        w()->Listbox1()->SetListIndex(3);
        QCOMPARE(events_, QStringList({"speak!:cat  ,,def12"}));

        events_.clear();
        QTest::mouseClick(w()->CheckBox1()->Widget(), Qt::LeftButton);
        QTest::mouseClick(w()->CheckBox2()->Widget(), Qt::LeftButton);
        w()->Listbox1()->SetListIndex(0);
        QCOMPARE(events_, QStringList({"url:dict:///dog"}));
    }

    void dictionaryAddressHoldsTheWholeWord_data()
    {
        QTest::addColumn<QString>("word");
        QTest::newRow("blank") << "ice cream";
        QTest::newRow("hash") << "C#";
        QTest::newRow("question mark") << "who?";
        QTest::newRow("all three") << "a b#c?d=e";
        QTest::newRow("percent") << "100%";
        QTest::newRow("slash") << "and/or";
        QTest::newRow("non-ASCII") << "café";
    }

    void dictionaryAddressHoldsTheWholeWord()
    {
        QFETCH(QString, word);
        listen();
        w()->CheckBox1()->SetValue(true);
        setRows({{word, "12"}});
        w()->Listbox1()->SetListIndex(0);
        QCOMPARE(urls_.size(), 1);
        const QUrl url = urls_.first();
        QCOMPARE(url.scheme(), QString("dict"));
        QCOMPARE(url.host(), QString());
        QCOMPARE(url.path(QUrl::FullyDecoded), "/" + word);
        QVERIFY(!url.hasQuery() && !url.hasFragment());
        // The desktop gets the address with its empty host: "dict:///", then the word.
        QCOMPARE(QUrl::fromPercentEncoding(url.toEncoded()), "dict:///" + word);
    }

    void recordSetWithoutDefinitionReachesTheTopLevelHandler()
    {
        StopProgram();
        delete package_;
        package_ = new TestPackage;
        RunSql(package_->databasePath(), "CREATE TABLE thewords (id INTEGER, word TEXT, type TEXT);"
                                         "INSERT INTO thewords VALUES (1, 'cat', 'noun');"
                                         "INSERT INTO thewords VALUES (2, 'cat', 'verb');"
                                         "INSERT INTO thewords VALUES (3, 'cot', 'noun');");
        QVERIFY(StartProgram(*package_));
        QStringList reports;
        SetUnhandledExceptionObserver([&](const QString& text) { reports << text; });
        listen();
        w()->CheckBox1()->SetValue(true);
        w()->CheckBox2()->SetValue(true);

        setRows({{"cat", "1,2"}, {"cot", "3"}});
        w()->EFdefinition()->SetText("before");
        w()->Listbox1()->SetListIndex(1);
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports[0].contains("NilObjectException"));
        QCOMPARE(w()->EFdefinition()->Text(), QString("before"));
        // The numbered display had emptied the area before it failed.
        w()->Listbox1()->SetListIndex(0);
        QCOMPARE(reports.size(), 2);
        QCOMPARE(w()->EFdefinition()->Text(), QString());
        // Neither the dictionary nor speech ran for those selections.
        QCOMPARE(events_, QStringList());

        // The program goes on: a search fills the list, and an empty selection is handled.
        w()->EFfindword()->SetFocus();
        QTest::keyClicks(w()->EFfindword()->Widget(), "c-t");
        QTest::keyClick(w()->EFfindword()->Widget(), Qt::Key_Return);
        QTRY_COMPARE(w()->StaticText3()->Text(), QString("2"));
        QCOMPARE(w()->Listbox1()->Cell(0, 0), QString("cat"));
        QCOMPARE(w()->Listbox1()->Cell(1, 0), QString("cot"));
        w()->Listbox1()->SetListIndex(-1);
        QCOMPARE(w()->EFdefinition()->Text(), QString());
        QCOMPARE(reports.size(), 2);
    }

    void speechWithoutAnEngineLetsTheProgramGoOn()
    {
        // No sink: the platform's own speech, which here has no engine or no audio.
        SetSpeechSinkForTesting({});
        Speak("cat  ,,a small feline", true);
        setRows({{"cat", "12"}, {"cat", "12,57"}});
        QTest::mouseClick(w()->CheckBox2()->Widget(), Qt::LeftButton);
        w()->Listbox1()->SetListIndex(0);
        w()->Listbox1()->SetListIndex(1);
        QCOMPARE(w()->EFdefinition()->Text(), QString("1.  def12\r2.  def57\r"));
        bool ran = false;
        QTimer::singleShot(0, [&] { ran = true; });
        QTRY_VERIFY(ran);
    }
};

QTEST_MAIN(DefinitionDisplayTest)
#include "definition_display_test.moc"
