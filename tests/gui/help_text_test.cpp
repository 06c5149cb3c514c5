// The help text, read once per run whatever the first read found, and its window: read-only,
// following resizing, at most one, opened from whichever window is in front.
#include "app/app.h"
#include "definition_test/word_defn_test_w.h"
#include "help/lexivane_help_text.h"
#include "help/whelp.h"
#include "platform/folder_item.h"
#include "search/window1.h"
#include "test_support.h"

#include <QPlainTextEdit>
#include <QtTest>
#include <sys/stat.h>

namespace {
const QByteArray kHelp = "Lexivane help\nfirst line\r\nsecond line\rthird line\n";
Whelp* openHelp() { return dynamic_cast<Whelp*>(Window::GetImplicitWindow("Whelp.Whelp")); }
QString shown() { return openHelp() ? openHelp()->EditField1()->Text() : "<no help window>"; }

// Options > Help from the front window's menu as the user chooses it, or through its handler.
void chooseHelp(bool fromMenu = true)
{
    QVERIFY(fromMenu ? ChooseMenuItem("OptionsMenu", "Help") : App::Instance()->OptionsHelp_Action());
    Settle();
}
}  // namespace

class HelpTextTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestPackage> package_;

private slots:
    void init()
    {
        package_ = std::make_unique<TestPackage>();
        package_->setWords({{1, "cat", "noun", "a small feline"}});
        package_->setHelpText(kHelp);
        QVERIFY(StartProgram(*package_));
        AnswerAllModals();
        AnsweredModalTexts().clear();
    }

    void cleanup()
    {
        StopAnsweringModals();
        StopProgram();
    }

    // What the first Help finds stays, silently, for the run, even once the file is put right.
    void firstReadStaysForTheRun_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QByteArray utf8("na\xc3\xafve\0caf\xc3\xa9 \xe2\x80\x94 end\0", 21);
        QTest::newRow("UTF-8 with NUL") << "" << utf8 << QString::fromUtf8(utf8);
        QTest::newRow("UTF-8 cut off at the end") << "" << QByteArray("caf\xc3\xa9 \xc3") << QString::fromLatin1("caf\xc3\xa9 \xc3");
        QByteArray binary(10, '\0');   // not UTF-8: still one character per byte, none dropped
        for (int i = 0; i < 256; ++i) binary.append(char(i));
        QTest::newRow("binary") << "" << binary << QString::fromLatin1(binary);
        // Only a regular file of at most 4 MB is read; anything else counts as no file.
        const QByteArray big = QByteArray("0123456789 abcdefghijklmnopqrstuvwxyz\n").repeated(1 << 17).left(FolderItem::kMaxTextFileSize - 3) + "end";
        QTest::newRow("4 MB") << "" << big << QString::fromLatin1(big);
        QTest::newRow("4 MB and a byte") << "" << big + "!" << QString();
        const QByteArray unbroken(2 << 20, 'y');   // one line, no blank: shows without a hang
        QTest::newRow("2 MB with no blank") << "" << unbroken << QString::fromLatin1(unbroken);
        for (const char* damage : {"", "no file", "no Resources folder", "file is a folder", "Resources is a file",
                                   "file is a FIFO", "file is a link to /dev/zero"})
            QTest::newRow(*damage ? damage : "empty file") << QString(damage) << QByteArray() << QString();
    }

    void firstReadStaysForTheRun()
    {
        QFETCH(QString, damage);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        const QString resources = package_->resourcesPath();
        package_->setHelpText(bytes);
        if (!damage.isEmpty()) QVERIFY(QDir(resources).removeRecursively());
        if (damage == "no file") QVERIFY(QDir().mkpath(resources));
        if (damage == "file is a folder") QVERIFY(QDir().mkpath(resources + "/LexivaneHelpText.txt"));
        if (damage == "Resources is a file") QVERIFY(QFile::copy(package_->databasePath(), resources));
        const QString file = resources + "/LexivaneHelpText.txt";
        if (damage == "file is a FIFO") QVERIFY(QDir().mkpath(resources) && mkfifo(QFile::encodeName(file), 0600) == 0);
        if (damage == "file is a link to /dev/zero") QVERIFY(QDir().mkpath(resources) && QFile::link("/dev/zero", file));
        chooseHelp();
        QCOMPARE(shown(), expected);
        QVERIFY2(AnsweredModalTexts().isEmpty(), qPrintable(AnsweredModalTexts().join(" / ")));
        QVERIFY((QFile::remove(resources) || QDir(resources).removeRecursively()) && QDir().mkpath(resources));
        package_->setHelpText(kHelp);
        openHelp()->Close();
        chooseHelp();
        QCOMPARE(shown(), expected);
        LexivaneHelpText_ResetForTesting();
        QCOMPARE(LexivaneHelpText(), QString::fromLatin1(kHelp));
    }

    void failedFirstAttemptIsNotRepeated()   // an executable at the root has no grandparent
    {
        SetExecutablePathForTesting("/lexivane");
        QVERIFY_THROWS_EXCEPTION(NilObjectException, LexivaneHelpText());
        SetExecutablePathForTesting(package_->executablePath());
        QCOMPARE(LexivaneHelpText(), QString());
    }

    // Closed in any way, with the file gone, Help makes a new window with the text read first.
    void oneWindowFromEveryFrontWindow_data()
    {
        QTest::addColumn<QString>("front");
        QTest::addColumn<QString>("close");
        QTest::newRow("main; OK clicked") << "main" << "click";
        QTest::newRow("about; Return") << "about" << "return";
        QTest::newRow("definition test; close box") << "definition test" << "close box";
    }

    void oneWindowFromEveryFrontWindow()
    {
        QFETCH(QString, front);
        QFETCH(QString, close);
        if (front == "about") App::Instance()->Fileabout_Action();
        if (front == "definition test") WordDefnTestW::Instance();
        Settle();
        chooseHelp();
        Whelp* help = openHelp();
        QVERIFY(help && help->TopLevelWidget()->isVisible() && !help->TopLevelWidget()->isModal());
        QCOMPARE(Window::Front(), static_cast<Window*>(help));
        QCOMPARE(help->Title(), QString("Rivivuzad Help"));
        QCOMPARE(AccessibleText(help->EditField1()->Widget()) + "|" + AccessibleText(help->PushButton1()->Widget()),
                 QString("Help|OK"));
        QVERIFY(help->TopLevelWidget()->windowFlags() & Qt::WindowCloseButtonHint);
        auto* edit = qobject_cast<QPlainTextEdit*>(help->EditField1()->Widget());
        QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        edit->setFocus();   // the user cannot change the text
        QTest::keyClicks(edit, "typed");
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(shown(), QString::fromLatin1(kHelp));
        QCOMPARE(edit->toPlainText(), QString("Lexivane help\nfirst line\nsecond line\nthird line\n"));
        // Help again from the main window brings this one forward with no new Open event.
        help->EditField1()->SetText("marked");
        Window1::Instance()->Show();
        Settle();
        chooseHelp(false);
        QCOMPARE(Window::Front(), static_cast<Window*>(help));
        QCOMPARE(OpenCount<Whelp>(), 1);
        QCOMPARE(shown(), QString("marked"));

        QVERIFY(QDir(package_->resourcesPath()).removeRecursively());
        if (close == "click") QTest::mouseClick(help->PushButton1()->Widget(), Qt::LeftButton);
        if (close == "return") QTest::keyClick(edit, Qt::Key_Return);   // reaches the default button
        if (close == "close box") help->TopLevelWidget()->close();
        Settle();
        QCOMPARE(OpenCount<Whelp>(), 0);
        chooseHelp();
        QCOMPARE(shown(), QString::fromLatin1(kHelp));
    }

    void resizingFollowsTheLocks()
    {
        chooseHelp();
        Whelp* help = openHelp();
        const std::pair<QSize, QSize> steps[] = {   // asked, got; "OK" keeps its left and bottom margin
            {{900, 700}, {900, 700}}, {{200, 100}, {428, 411}}, {{428, 800}, {428, 800}}, {{428, 411}, {428, 411}}};
        for (auto [asked, now] : steps) {
            ResizeContent(help, asked);
            QTRY_COMPARE(help->ContentWidget()->size(), now);
            QCOMPARE(help->EditField1()->Widget()->geometry(), QRect(0, 0, now.width(), now.height() - 44));
            QCOMPARE(help->PushButton1()->Widget()->geometry(), QRect(174, now.height() - 32, 80, 20));
        }
    }
};

QTEST_MAIN(HelpTextTest)
#include "help_text_test.moc"
