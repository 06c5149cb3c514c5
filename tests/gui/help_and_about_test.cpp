// The help text, read once per run whatever the first read found; the help and about windows:
// at most one each, opened from whichever window is in front, following resizing.
#include "app/app.h"
#include "definition_test/word_defn_test_w.h"
#include "help/about_lv.h"
#include "help/lexivane_help_text.h"
#include "help/whelp.h"
#include "platform/folder_item.h"
#include "search/window1.h"
#include "test_support.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>
#include <sys/stat.h>

namespace {
const QByteArray kHelp = "Lexivane help\nfirst line\r\nsecond line\rthird line\n";
Whelp* openHelp() { return dynamic_cast<Whelp*>(Window::GetImplicitWindow("Whelp.Whelp")); }
QString shown() { return openHelp() ? openHelp()->EditField1()->Text() : "<no help window>"; }

// Options > Help from the front window's menu as the user chooses it; it shows no message.
void chooseHelp()
{
    QCOMPARE(MessagesOf([] { QVERIFY(ChooseMenuItem("OptionsMenu", "Help")); }), QStringList());
}
}  // namespace

class HelpAndAboutTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestPackage> package_;

private slots:
    void init()
    {
        package_ = std::make_unique<TestPackage>();
        package_->setWords({{1, "cat", "noun", "a small feline"}});
        package_->setHelpText(kHelp);
        QVERIFY(StartProgram(*package_));
    }

    void cleanup() { StopProgram(); }

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
        const QByteArray big = QByteArray("0123456789 abcdefghijklmnopqrstuvwxyz\n").repeated(1 << 17).left((4 << 20) - 3) + "end";
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

    // Closed in any way, the command makes a new window; help keeps the text read first.
    void oneWindowFromEveryFrontWindow_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("front");
        QTest::addColumn<QString>("close");
        for (const char* window : {"help", "about"}) {
            QTest::addRow("%s from main; OK clicked", window) << window << "main" << "click";
            QTest::addRow("%s from the other; Return", window) << window << "other" << "return";
            QTest::addRow("%s from definition test; close box", window) << window << "definition test" << "close box";
        }
    }

    void oneWindowFromEveryFrontWindow()
    {
        QFETCH(QString, window);
        QFETCH(QString, front);
        QFETCH(QString, close);
        const bool help = window == "help";
        const auto command = [help] { return help ? App::Instance()->OptionsHelp_Action() : App::Instance()->Fileabout_Action(); };
        const auto count = [help] { return help ? OpenCount<Whelp>() : OpenCount<aboutLV>(); };
        if (front == "other") help ? App::Instance()->Fileabout_Action() : App::Instance()->OptionsHelp_Action();
        if (front == "definition test") WordDefnTestW::Instance();
        Settle();
        QVERIFY(help ? ChooseMenuItem("OptionsMenu", "Help") : ChooseMenuItem("FileMenu", "about"));
        Window* opened = Window::Front();
        QVERIFY(opened && count() == 1 && !opened->TopLevelWidget()->isModal());
        QVERIFY(opened->TopLevelWidget()->windowFlags() & Qt::WindowCloseButtonHint);   // it has a close box
        QStringList spoken;   // what a screen reader reads: the text's role or the label's lines, the captions
        for (const auto& control : opened->Controls()) spoken << AccessibleText(control->Widget());
        QCOMPARE(spoken, help ? QStringList({"Help", "OK"})
                              : QStringList({"Lexivane\n\nv 0.6.01\n\nthe Lexivane developers", "OK", "GoTo WebSite"}));
        // The command again from the main window brings this one forward, with no new Open event.
        if (help) openHelp()->EditField1()->SetText("marked");
        Window1::Instance()->Show();
        Settle();
        QVERIFY(command());
        Settle();
        QVERIFY(Window::Front() == opened && count() == 1);
        if (help) QCOMPARE(shown(), QString("marked"));

        QVERIFY(QDir(package_->resourcesPath()).removeRecursively());
        QWidget* keys = help ? opened->Controls()[0]->Widget() : opened->ContentWidget();
        if (close == "click") QTest::mouseClick(opened->Controls()[1]->Widget(), Qt::LeftButton);
        if (close == "return") QTest::keyClick(keys, Qt::Key_Return);   // reaches the default button
        if (close == "close box") opened->TopLevelWidget()->close();
        Settle();
        QCOMPARE(count(), 0);
        QVERIFY(command());
        Settle();
        if (help) QCOMPARE(shown(), QString::fromLatin1(kHelp));
        else QCOMPARE(aboutLV::Instance()->StaticText1()->Text(), "Lexivane\r\rv 0.6.01\r\rthe Lexivane developers");
    }

    void helpTextIsReadOnly()
    {
        chooseHelp();
        auto* edit = qobject_cast<QPlainTextEdit*>(openHelp()->EditField1()->Widget());
        edit->setFocus();
        QTest::keyClicks(edit, "typed");
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(shown(), QString::fromLatin1(kHelp));
        QCOMPARE(edit->toPlainText(), QString("Lexivane help\nfirst line\nsecond line\nthird line\n"));
        // Its vertical scroll bar shows even when the text is short.
        QTRY_VERIFY(edit->verticalScrollBar()->isVisible());
    }

    // Down to 64 x 64 the label and buttons stay put; the five lines fit the label.
    void aboutKeepsItsDesign()
    {
        QVERIFY(App::Instance()->Fileabout_Action());
        aboutLV* about = aboutLV::Instance();
        auto* label = qobject_cast<QLabel*>(about->StaticText1()->Widget());
        QVERIFY(label->textFormat() == Qt::PlainText && label->heightForWidth(172) <= 97);
        for (QSize size : {QSize(1000, 800), QSize(20, 10)}) {
            ResizeContent(about, size);
            QTRY_COMPARE(about->ContentWidget()->size(), size.expandedTo(QSize(64, 64)));
            const QRect design[] = {{56, 16, 172, 97}, {191, 125, 80, 20}, {41, 125, 116, 20}};
            for (int i = 0; i < 3; ++i) QCOMPARE(about->Controls()[i]->Widget()->geometry(), design[i]);
        }
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

QTEST_MAIN(HelpAndAboutTest)
#include "help_and_about_test.moc"
