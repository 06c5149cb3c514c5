// The help text and its window: the file is read once per run, whatever the first read
// found; the help window shows that text read-only, follows resizing, exists at most once
// and opens from whichever window is in front.
#include "app/app.h"
#include "app/menu_bar1.h"
#include "definition_test/word_defn_test_w.h"
#include "help/about_lv.h"
#include "help/lexivane_help_text.h"
#include "help/whelp.h"
#include "platform/folder_item.h"
#include "platform/nil_object.h"
#include "search/window1.h"
#include "test_support.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>

namespace {
const QByteArray kHelp = "Lexivane help\nfirst line\r\nsecond line\rthird line\n";

Whelp* openHelp() { return dynamic_cast<Whelp*>(Window::GetImplicitWindow("Whelp.Whelp")); }

int helpWindowCount()
{
    int count = 0;
    for (Window* window : Window::OpenWindows())
        if (dynamic_cast<Whelp*>(window)) ++count;
    return count;
}

QPlainTextEdit* editOf(Whelp* help) { return qobject_cast<QPlainTextEdit*>(help->EditField1()->Widget()); }

// Resizes a window so that its content area gets this size (the menu bar sits above it).
void resizeContent(Window* window, QSize size)
{
    QWidget* top = window->TopLevelWidget();
    const QSize extra = top->size() - window->ContentWidget()->size();
    top->resize(size + extra);
    QTRY_VERIFY(top->size() == (size + extra).expandedTo(top->minimumSize()));
}
}  // namespace

class HelpTextTest : public QObject {
    Q_OBJECT

    TestPackage* package_ = nullptr;

    QString helpFile() const { return package_->resourcesPath() + "/LexivaneHelpText.txt"; }

    // Chooses Options > Help from the front window's own menu bar, as the user does: the
    // menu is enabled afresh when it opens, and the item must be enabled to run.
    void chooseHelpFromMenu()
    {
        Window* front = Window::Front();
        QVERIFY(front);
        auto* bar = front->TopLevelWidget()->findChild<QMenuBar*>();
        QVERIFY(bar);
        QMenu* options = nullptr;
        for (QAction* action : bar->actions())
            if (action->menu() && action->menu()->objectName() == "OptionsMenu") options = action->menu();
        QVERIFY(options);
        QMetaObject::invokeMethod(options, "aboutToShow");
        QAction* help = nullptr;
        for (QAction* action : options->actions())
            if (action->text() == "Help") help = action;
        QVERIFY(help);
        QVERIFY(help->isEnabled());
        help->trigger();
    }

    void openHelpBy(const QString& route)
    {
        if (route == "menu") {
            chooseHelpFromMenu();
        } else {
            QVERIFY(App::Instance()->OptionsHelp_Action());
        }
        Settle();
    }

    void bringToFront(const QString& front)
    {
        if (front == "about") App::Instance()->Fileabout_Action();
        else if (front == "definition test") WordDefnTestW::Instance();
        else Window1::Instance()->Show();
        Settle();
    }

private slots:
    void init()
    {
        package_ = new TestPackage;
        package_->setWords({{1, "cat", "noun", "a small feline"}, {2, "cot", "noun", "a small bed"}});
        package_->setHelpText(kHelp);
        QVERIFY(StartProgram(*package_));
    }

    void cleanup()
    {
        StopAnsweringModals();
        StopProgram();
        delete package_;
    }

    // --- the loader ---

    void fileIsReadWhole_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain text, line ends kept") << kHelp << QString::fromLatin1(kHelp);
        QTest::newRow("UTF-8") << QByteArray("na\xc3\xafve caf\xc3\xa9 \xe2\x80\x94 end")
                               << QString::fromUtf8("na\xc3\xafve caf\xc3\xa9 \xe2\x80\x94 end");
        // Not UTF-8: every byte still becomes a character, none is dropped.
        QTest::newRow("invalid UTF-8") << QByteArray("caf\xe9 \xff\xfe x\xc3") << QString::fromLatin1("caf\xe9 \xff\xfe x\xc3");
        QByteArray binary;
        for (int i = 0; i < 256; ++i) binary.append(char(i));
        binary.append(QByteArray(10, '\0'));
        QTest::newRow("binary with NUL bytes") << binary << QString::fromLatin1(binary);
        const QByteArray nulText("before\0after\0", 13);
        QTest::newRow("NUL inside text") << nulText << QString::fromUtf8(nulText);
        QTest::newRow("empty file") << QByteArray() << QString();
    }

    void fileIsReadWhole()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        package_->setHelpText(bytes);
        AnswerAllModals();
        AnsweredModalTexts().clear();
        QCOMPARE(LexivaneHelpText(), expected);
        QCOMPARE(LexivaneHelpText().size(), expected.size());
        // The window shows the same text, and nothing asked the user anything.
        openHelpBy("handler");
        QVERIFY(openHelp());
        QCOMPARE(openHelp()->EditField1()->Text(), expected);
        QVERIFY(AnsweredModalTexts().isEmpty());
    }

    void largeFileArrivesWhole()
    {
        QByteArray line("0123456789 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ\n");
        QByteArray big;
        big.reserve(50 * 1024 * 1024 + line.size());
        while (big.size() < 50 * 1024 * 1024) big.append(line);
        big.append("the last line");
        package_->setHelpText(big);
        const QString text = LexivaneHelpText();
        QCOMPARE(text.size(), big.size());
        QVERIFY(text.endsWith("the last line"));
        QCOMPARE(text.left(line.size()), QString::fromLatin1(line));
        // The window takes it whole too.
        openHelpBy("handler");
        QVERIFY(openHelp());
        QCOMPARE(openHelp()->EditField1()->Text().size(), big.size());
    }

    void unreadableHelpIsSilentAndNotRetried_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("no help file") << "no file";
        QTest::newRow("no Resources folder") << "no folder";
        QTest::newRow("help file is a folder") << "file is a folder";
        QTest::newRow("Resources is a file") << "folder is a file";
    }

    void unreadableHelpIsSilentAndNotRetried()
    {
        QFETCH(QString, damage);
        const QString resources = package_->resourcesPath();
        QVERIFY(QDir(resources).removeRecursively());
        if (damage == "no file") QVERIFY(QDir().mkpath(resources));
        if (damage == "file is a folder") QVERIFY(QDir().mkpath(helpFile()));
        if (damage == "folder is a file") {
            QFile file(resources);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(kHelp);
        }
        AnswerAllModals();
        AnsweredModalTexts().clear();
        openHelpBy("menu");
        QVERIFY(openHelp());
        QCOMPARE(openHelp()->EditField1()->Text(), QString());
        QCOMPARE(LexivaneHelpText(), QString());
        QVERIFY2(AnsweredModalTexts().isEmpty(), qPrintable(AnsweredModalTexts().join(" / ")));

        // Putting the file in place changes nothing for the rest of the run...
        QFile::remove(resources);
        QDir(resources).removeRecursively();
        QVERIFY(QDir().mkpath(resources));
        package_->setHelpText(kHelp);
        openHelp()->PushButton1()->Push();
        Settle();
        openHelpBy("menu");
        QCOMPARE(openHelp()->EditField1()->Text(), QString());
        QCOMPARE(LexivaneHelpText(), QString());
        // ...and a new run reads it.
        LexivaneHelpText_ResetForTesting();
        QCOMPARE(LexivaneHelpText(), QString::fromLatin1(kHelp));
    }

    void firstTextStaysForTheRun_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("file changed") << "change";
        QTest::newRow("file emptied") << "empty";
        QTest::newRow("file removed") << "remove";
    }

    void firstTextStaysForTheRun()
    {
        QFETCH(QString, change);
        openHelpBy("handler");
        QCOMPARE(openHelp()->EditField1()->Text(), QString::fromLatin1(kHelp));
        if (change == "change") package_->setHelpText("another text");
        if (change == "empty") package_->setHelpText(QByteArray());
        if (change == "remove") QVERIFY(QFile::remove(helpFile()));
        QCOMPARE(LexivaneHelpText(), QString::fromLatin1(kHelp));
        // A new window after closing the first shows the cached text too.
        openHelp()->PushButton1()->Push();
        Settle();
        QVERIFY(!openHelp());
        openHelpBy("menu");
        QVERIFY(openHelp());
        QCOMPARE(openHelp()->EditField1()->Text(), QString::fromLatin1(kHelp));
    }

    void failedFirstAttemptIsNotRepeated()
    {
        // An executable at the root has no grandparent folder: the first attempt ends in
        // the nil-object exception; every later one returns the empty text at once.
        SetExecutablePathForTesting("/lexivane");
        QVERIFY_THROWS_EXCEPTION(NilObjectException, LexivaneHelpText());
        SetExecutablePathForTesting(package_->executablePath());
        QCOMPARE(LexivaneHelpText(), QString());
    }

    // --- the help window ---

    void helpOpensFromEveryFrontWindow_data()
    {
        QTest::addColumn<QString>("route");
        QTest::addColumn<QString>("front");
        for (const char* route : {"handler", "menu"})
            for (const char* front : {"main", "about", "definition test"})
                QTest::addRow("%s, %s in front", route, front) << QString(route) << QString(front);
    }

    void helpOpensFromEveryFrontWindow()
    {
        QFETCH(QString, route);
        QFETCH(QString, front);
        bringToFront(front);
        openHelpBy(route);
        Whelp* help = openHelp();
        QVERIFY(help);
        QCOMPARE(helpWindowCount(), 1);
        QCOMPARE(Window::Front(), static_cast<Window*>(help));
        QVERIFY(help->TopLevelWidget()->isVisible());
        QCOMPARE(help->Title(), QString("Rivivuzad Help"));
        QCOMPARE(help->EditField1()->Text(), QString::fromLatin1(kHelp));
        QCOMPARE(help->ContentWidget()->size(), QSize(428, 411));
        QCOMPARE(help->ContentWidget()->minimumSize(), QSize(428, 411));
        QVERIFY(help->TopLevelWidget()->windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(help->EditField1()->Widget()->geometry(), QRect(0, 0, 428, 367));
        QCOMPARE(help->PushButton1()->Widget()->geometry(), QRect(174, 379, 80, 20));
        QCOMPARE(help->PushButton1()->Caption(), QString("OK"));
        QCOMPARE(help->DefaultButton(), help->PushButton1());
        QPlainTextEdit* edit = editOf(help);
        QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        // The other windows stay open: the help window is not modal.
        QVERIFY(!help->TopLevelWidget()->isModal());
        QVERIFY(Window::GetImplicitWindow("Window1.Window1"));
    }

    void userCannotChangeTheText()
    {
        openHelpBy("handler");
        Whelp* help = openHelp();
        QVERIFY(help->EditField1()->ReadOnly());
        QPlainTextEdit* edit = editOf(help);
        edit->setFocus();
        QTest::keyClicks(edit, "typed");
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(help->EditField1()->Text(), QString::fromLatin1(kHelp));
        QCOMPARE(edit->toPlainText(), QString("Lexivane help\nfirst line\nsecond line\nthird line\n"));
    }

    void resizingFollowsTheLocks_data()
    {
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<QSize>("content");
        QTest::newRow("taller") << QSize(428, 700) << QSize(428, 700);
        QTest::newRow("wider") << QSize(900, 411) << QSize(900, 411);
        QTest::newRow("both") << QSize(1000, 800) << QSize(1000, 800);
        QTest::newRow("below the minimum") << QSize(200, 100) << QSize(428, 411);
    }

    void resizingFollowsTheLocks()
    {
        QFETCH(QSize, asked);
        QFETCH(QSize, content);
        openHelpBy("handler");
        Whelp* help = openHelp();
        resizeContent(help, asked);
        QTRY_COMPARE(help->ContentWidget()->size(), content);
        QCOMPARE(help->EditField1()->Widget()->geometry(),
                 QRect(0, 0, content.width(), content.height() - 44));
        // "OK" keeps its left and its distance of 12 from the bottom, centred or not.
        QCOMPARE(help->PushButton1()->Widget()->geometry(),
                 QRect(174, content.height() - 32, 80, 20));
        // Back to the design size: everything where it started.
        resizeContent(help, QSize(428, 411));
        QTRY_COMPARE(help->ContentWidget()->size(), QSize(428, 411));
        QCOMPARE(help->EditField1()->Widget()->geometry(), QRect(0, 0, 428, 367));
        QCOMPARE(help->PushButton1()->Widget()->geometry(), QRect(174, 379, 80, 20));
    }

    void secondCommandBringsTheSameWindowForward_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("handler") << "handler";
        QTest::newRow("menu") << "menu";
    }

    void secondCommandBringsTheSameWindowForward()
    {
        QFETCH(QString, route);
        openHelpBy(route);
        Whelp* help = openHelp();
        QVERIFY(help);
        // Mark the window: a second Open event would set the text again.
        help->EditField1()->SetText("marked");
        bringToFront("main");
        QCOMPARE(Window::Front(), static_cast<Window*>(Window1::Instance()));
        openHelpBy(route);
        QCOMPARE(openHelp(), help);
        QCOMPARE(helpWindowCount(), 1);
        QCOMPARE(Window::Front(), static_cast<Window*>(help));
        QCOMPARE(help->EditField1()->Text(), QString("marked"));
    }

    void okAndCloseBoxClose_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("OK clicked") << "click";
        QTest::newRow("Return") << "return";
        QTest::newRow("close box") << "close box";
    }

    void okAndCloseBoxClose()
    {
        QFETCH(QString, how);
        openHelpBy("menu");
        Whelp* help = openHelp();
        QVERIFY(help);
        if (how == "click") {
            QTest::mouseClick(help->PushButton1()->Widget(), Qt::LeftButton);
        } else if (how == "return") {
            // The text area takes no Return: it reaches the default button.
            editOf(help)->setFocus();
            QTest::keyClick(editOf(help), Qt::Key_Return);
        } else {
            help->TopLevelWidget()->close();
        }
        Settle();
        QVERIFY(!openHelp());
        QCOMPARE(helpWindowCount(), 0);
        QVERIFY(Window::GetImplicitWindow("Window1.Window1"));
        // The file goes away; the next window is new and shows the text read before.
        QVERIFY(QFile::remove(helpFile()));
        openHelpBy("menu");
        QVERIFY(openHelp());
        QCOMPARE(helpWindowCount(), 1);
        QCOMPARE(openHelp()->EditField1()->Text(), QString::fromLatin1(kHelp));
        QCOMPARE(openHelp()->ContentWidget()->size(), QSize(428, 411));
    }
};

QTEST_MAIN(HelpTextTest)
#include "help_text_test.moc"
