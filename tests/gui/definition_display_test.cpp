// Selecting a word in the main list: its definitions in the definition area, then the
// dictionary address, then the spoken text; records without definitions; no speech engine.
#include "platform/desktop.h"
#include "platform/runtime.h"
#include "search/window1.h"
#include "test_support.h"

#include <QDesktopServices>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QTemporaryFile>
#include <QTextToSpeech>
#include <QtTest>
#include <cstdio>
#include <unistd.h>

class DefinitionDisplayTest : public QObject {
    Q_OBJECT

    TestPackage* package_ = nullptr;
    QStringList events_; // what reached the desktop and the speech engine, in order
    QString areaWhenUrlArrived_;

    Window1* w() { return Window1::Instance(); }
    QString shown() { return w()->EFdefinition()->Text(); }
    QStringList takeEvents() { return std::exchange(events_, {}); }
    static QString longDefinition() { return QString(2 << 20, QChar('x')) + "\rend"; }

    // Fills the list as the search does, from "word|ids;word|ids", and selects a row.
    void showRows(const QString& rows, int selected)
    {
        for (const QString& row : rows.split(';')) {
            w()->Listbox1()->AddRow(row.section('|', 0, 0));
            w()->Listbox1()->SetCellTag(w()->Listbox1()->LastIndex(), 0, row.section('|', 1));
        }
        w()->Listbox1()->SetListIndex(selected);
    }

public slots:
    void openDictionary(const QUrl& url)
    {
        events_ << "look up:" + QString::fromLatin1(url.toEncoded());
        areaWhenUrlArrived_ = shown();
    }

private slots:
    void init()
    {
        package_ = new TestPackage;
        package_->setWords({{3, "dog", "noun", "line one\rline two"}, {4, "dog", "noun", "<b>markup</b> &amp; more"},
                            {12, "cat", "noun", "def12"}, {57, "cat", "verb", "def57"}});
        // One test runs on records that have no definition, one on a definition of megabytes.
        // The program reads its word database as a file that never changes, so both are
        // made before it starts.
        if (QByteArray(QTest::currentTestFunction()).startsWith("records"))
            RunSql(package_->databasePath(), "ALTER TABLE thewords RENAME COLUMN definition TO gloss");
        if (QByteArray(QTest::currentTestFunction()).startsWith("longDefinition"))
            RunSql(package_->databasePath(), "UPDATE thewords SET definition = '" + longDefinition() + "' WHERE id = 12");
        QVERIFY(StartProgram(*package_));
        QDesktopServices::setUrlHandler("dict", this, "openDictionary");
        SetSpeechSinkForTesting([this](const QString& text, bool stop) {
            events_ << (stop ? "speak!:" : "speak:") + text;
        });
    }

    void cleanup()
    {
        QDesktopServices::unsetUrlHandler("dict");
        SetUnhandledExceptionObserver({});
        StopProgram();
        delete package_;
        events_.clear();
        areaWhenUrlArrived_.clear();
    }

    void selectionShowsDefinitionsThenLooksUpThenSpeaks_data()
    {
        QTest::addColumn<QString>("options"); // "d": open the dictionary, "s": speak; capital: unticked again
        QTest::addColumn<QString>("row");     // "word|ids" selected after "dog|3"; empty: none
        QTest::addColumn<QString>("area");
        QTest::newRow("two ids, both options") << "ds" << "cat|12,57" << "1.  def12\r2.  def57\r";
        QTest::newRow("first id missing") << "" << "cat|99,57" << "2.  def57\r";
        QTest::newRow("no id found") << "" << "cat|98,99" << "";
        // The previous selection's text stays, and is spoken under the new word.
        QTest::newRow("one id missing") << "ds" << "cow|99" << "line one\rline two";
        QTest::newRow("markup, returns") << "" << "dog|3,4" << "1.  line one\rline two\r2.  <b>markup</b> &amp; more\r";
        QTest::newRow("one id, speak only") << "s" << "cat|12" << "def12";
        QTest::newRow("dictionary only, blank") << "d" << "ice cream|12" << "def12";
        QTest::newRow("dictionary only, signs around letters and digits") << "d" << "@AZ[`az{/09:-._~|12" << "def12";
        QTest::newRow("selection cleared") << "ds" << "" << "";
        QTest::newRow("both ticked, then unticked") << "dsDS" << "cat|12" << "def12";
    }

    void selectionShowsDefinitionsThenLooksUpThenSpeaks()
    {
        QFETCH(QString, options);
        QFETCH(QString, row);
        QFETCH(QString, area);
        showRows("dog|3;" + (row.isEmpty() ? "cat|12" : row), 0);
        // Ticking an option does nothing for the row already selected.
        for (const QChar option : options)
            QTest::mouseClick((option.toLower() == 'd' ? w()->CheckBox1() : w()->CheckBox2())->Widget(), Qt::LeftButton);
        QCOMPARE(takeEvents(), QStringList());
        const bool lookUp = options.contains('d') && !options.contains('D');
        const bool speak = options.contains('s') && !options.contains('S');
        w()->Listbox1()->SetListIndex(row.isEmpty() ? -1 : 1);
        QCOMPARE(shown(), area);
        // Shown as plain text, each carriage return a line break.
        QCOMPARE(qobject_cast<QPlainTextEdit*>(w()->EFdefinition()->Widget())->toPlainText(),
                 QString(area).replace('\r', '\n'));
        // The area is filled first; then the address goes out; then word and text are spoken.
        QStringList expected;
        if (!row.isEmpty() && lookUp)
            expected << "look up:dict:///" + QUrl::toPercentEncoding(row.section('|', 0, 0));
        if (!row.isEmpty() && speak)
            expected << "speak!:" + row.section('|', 0, 0) + "  ,," + area;
        QCOMPARE(takeEvents(), expected);
        if (!areaWhenUrlArrived_.isNull()) QCOMPARE(areaWhenUrlArrived_, area);
    }

    // Without a sink the platform's own speech runs; here it has no engine, or no audio device,
    // which an engine may find only when it speaks. The definitions show all the same, and
    // stderr says once that speech is not available, however often it fails.
    void speechThatFailsWarnsOnce()
    {
        QTemporaryFile log;
        QVERIFY(log.open());
        std::fflush(stderr);
        const int console = dup(2);
        dup2(log.handle(), 2);
        const auto warnings = [&] {
            QFile written(log.fileName());
            return written.open(QIODevice::ReadOnly) ? written.readAll().count("speech is not available") : -1;
        };
        SetSpeechSinkForTesting({});
        w()->CheckBox2()->SetValue(true);
        showRows("dog|3;cat|12,57", 1);
        QCOMPARE(shown(), QString("1.  def12\r2.  def57\r"));
        QTRY_COMPARE_WITH_TIMEOUT(warnings(), 1, 30000);
        w()->Listbox1()->SetListIndex(0);
        if (auto* engine = qApp->findChild<QTextToSpeech*>())   // as when it fails to speak again
            emit engine->errorOccurred(QTextToSpeech::ErrorReason::Playback, "no audio device");
        Settle();
        dup2(console, 2);
        close(console);
        QCOMPARE(warnings(), 1);
    }

    // A definition of megabytes with no blank in it shows at once, exactly as stored, and is
    // copied whole from the area.
    void longDefinitionWithNoBlankShowsWhole()
    {
        const QString definition = longDefinition();
        showRows("dog|3;cat|12", 1);
        QCOMPARE(shown(), definition);
        auto* area = qobject_cast<QPlainTextEdit*>(w()->EFdefinition()->Widget());
        area->grab();
        area->selectAll();
        area->copy();
        QVERIFY(QApplication::clipboard()->text() == QString(definition).replace('\r', '\n'));
    }

    void recordsWithoutDefinitionReachTheTopLevelHandler()
    {
        QStringList reports;
        SetUnhandledExceptionObserver([&](const QString& text) { reports << text; });
        w()->CheckBox1()->SetValue(true);
        w()->CheckBox2()->SetValue(true);
        w()->EFdefinition()->SetText("before");
        showRows("cat|12,57;cat|12", 1);
        QVERIFY(reports.size() == 1 && reports[0].contains("NilObjectException"));
        QCOMPARE(shown(), QString("before"));
        // The numbered display had emptied the area before it failed; no address, no speech.
        w()->Listbox1()->SetListIndex(0);
        QCOMPARE(reports.size(), 2);
        QCOMPARE(shown(), QString());
        QCOMPARE(takeEvents(), QStringList());
    }
};

QTEST_MAIN(DefinitionDisplayTest)
#include "definition_display_test.moc"
