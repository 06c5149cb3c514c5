// The about window: its design, the maker's web address handed to the desktop, closing,
// one instance at most, and controls that stay put whatever the window's size.
#include "app/app.h"
#include "app/menu_bar1.h"
#include "definition_test/word_defn_test_w.h"
#include "help/about_lv.h"
#include "help/whelp.h"
#include "search/window1.h"
#include "test_support.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>
#include <QtTest>

// Stands in for the desktop's browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

namespace {
aboutLV* openAbout() { return dynamic_cast<aboutLV*>(Window::GetImplicitWindow("aboutLV.aboutLV")); }

int aboutWindowCount()
{
    int count = 0;
    for (Window* window : Window::OpenWindows())
        if (dynamic_cast<aboutLV*>(window)) ++count;
    return count;
}

// File > about from the front window's own menu bar, as the user chooses it.
void chooseAboutFromMenu()
{
    Window* front = Window::Front();
    QVERIFY(front);
    auto* bar = front->TopLevelWidget()->findChild<QMenuBar*>();
    QVERIFY(bar);
    QMenu* file = nullptr;
    for (QAction* action : bar->actions())
        if (action->menu() && action->menu()->objectName() == "FileMenu") file = action->menu();
    QVERIFY(file);
    QMetaObject::invokeMethod(file, "aboutToShow");
    QAction* about = nullptr;
    for (QAction* action : file->actions())
        if (action->text() == "about") about = action;
    QVERIFY(about);
    QVERIFY(about->isEnabled());
    about->trigger();
    Settle();
}

void resizeContent(Window* window, QSize size)
{
    QWidget* top = window->TopLevelWidget();
    const QSize extra = top->size() - window->ContentWidget()->size();
    top->resize(size + extra);
    QTRY_VERIFY(top->size() == (size + extra).expandedTo(top->minimumSize()));
}

const QString kLabel = "Lexivane\r\rv 0.6.01\r\rthe Lexivane developers";
}  // namespace

class AboutWindowTest : public QObject {
    Q_OBJECT

    TestPackage* package_ = nullptr;
    UrlCatcher catcher_;

private slots:
    void init()
    {
        package_ = new TestPackage;
        package_->setWords({{1, "cat", "noun", "a small feline"}, {2, "cot", "noun", "a small bed"}});
        QVERIFY(StartProgram(*package_));
        catcher_.urls.clear();
        QDesktopServices::setUrlHandler("https", &catcher_, "open");
    }

    void cleanup()
    {
        QDesktopServices::unsetUrlHandler("https");
        StopProgram();
        delete package_;
    }

    void designOfANewWindow()
    {
        QVERIFY(App::Instance()->Fileabout_Action());
        Settle();
        aboutLV* about = openAbout();
        QVERIFY(about);
        QCOMPARE(Window::Front(), static_cast<Window*>(about));
        QCOMPARE(about->Title(), QString("About Rivivuzad"));
        QCOMPARE(about->ContentWidget()->size(), QSize(324, 236));
        QCOMPARE(about->ContentWidget()->minimumSize(), QSize(64, 64));
        QCOMPARE(about->ContentWidget()->maximumSize(), QSize(32000, 32000));
        QVERIFY(about->TopLevelWidget()->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!about->TopLevelWidget()->isModal());

        QStringList names;
        for (const auto& control : about->Controls()) names << control->Name();
        QCOMPARE(names, QStringList({"StaticText1", "PushButton1", "PushButton2"}));
        QCOMPARE(about->StaticText1()->Widget()->geometry(), QRect(56, 16, 172, 97));
        QCOMPARE(about->PushButton1()->Widget()->geometry(), QRect(191, 125, 80, 20));
        QCOMPARE(about->PushButton2()->Widget()->geometry(), QRect(41, 125, 116, 20));
        QCOMPARE(about->PushButton1()->Caption(), QString("OK"));
        QCOMPARE(about->PushButton2()->Caption(), QString("GoTo WebSite"));
        QCOMPARE(about->DefaultButton(), about->PushButton1());

        // Five lines, the second and fourth empty, shown as lines and as plain text.
        QCOMPARE(about->StaticText1()->Text(), kLabel);
        auto* label = qobject_cast<QLabel*>(about->StaticText1()->Widget());
        QCOMPARE(label->text().split('\n'),
                 QStringList({"Lexivane", "", "v 0.6.01", "", "the Lexivane developers"}));
        QCOMPARE(label->textFormat(), Qt::PlainText);
        // The five lines fit the label's design height.
        QVERIFY(label->heightForWidth(172) <= 97);
    }

    void websiteGoesToTheDesktopEachPress()
    {
        App::Instance()->Fileabout_Action();
        Settle();
        aboutLV* about = openAbout();
        QTest::mouseClick(about->PushButton2()->Widget(), Qt::LeftButton);
        QTest::mouseClick(about->PushButton2()->Widget(), Qt::LeftButton);
        about->PushButton2()->Push();
        Settle();
        const QUrl expected("https://example.org/lexivane");
        QCOMPARE(catcher_.urls, QList<QUrl>({expected, expected, expected}));
        QCOMPARE(catcher_.urls.first().toString(), QString("https://example.org/lexivane"));
        // The window stays as it was.
        QCOMPARE(openAbout(), about);
        QVERIFY(about->TopLevelWidget()->isVisible());
        QCOMPARE(about->StaticText1()->Text(), kLabel);
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
        chooseAboutFromMenu();
        aboutLV* about = openAbout();
        QVERIFY(about);
        if (how == "click") QTest::mouseClick(about->PushButton1()->Widget(), Qt::LeftButton);
        else if (how == "return") QTest::keyClick(about->ContentWidget(), Qt::Key_Return);
        else about->TopLevelWidget()->close();
        Settle();
        QVERIFY(!openAbout());
        QCOMPARE(aboutWindowCount(), 0);
        QVERIFY(catcher_.urls.isEmpty());
        QVERIFY(Window::GetImplicitWindow("Window1.Window1"));
        // The next command shows a new window with the same content.
        chooseAboutFromMenu();
        QVERIFY(openAbout());
        QCOMPARE(aboutWindowCount(), 1);
        QCOMPARE(openAbout()->StaticText1()->Text(), kLabel);
        QCOMPARE(openAbout()->ContentWidget()->size(), QSize(324, 236));
    }

    void oneInstanceFromEveryFrontWindow_data()
    {
        QTest::addColumn<QString>("front");
        QTest::newRow("main window") << "main";
        QTest::newRow("help window") << "help";
        QTest::newRow("definition test") << "definition test";
    }

    void oneInstanceFromEveryFrontWindow()
    {
        QFETCH(QString, front);
        chooseAboutFromMenu();
        aboutLV* about = openAbout();
        QVERIFY(about);
        if (front == "help") App::Instance()->OptionsHelp_Action();
        else if (front == "definition test") WordDefnTestW::Instance();
        else Window1::Instance()->Show();
        Settle();
        QVERIFY(Window::Front() != about);
        // From the other window's menu, then through the handler: the same window comes forward.
        chooseAboutFromMenu();
        QCOMPARE(openAbout(), about);
        QCOMPARE(Window::Front(), static_cast<Window*>(about));
        QVERIFY(App::Instance()->Fileabout_Action());
        Settle();
        QCOMPARE(openAbout(), about);
        QCOMPARE(aboutWindowCount(), 1);
    }

    void controlsStayPutWhenResized_data()
    {
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<QSize>("content");
        QTest::newRow("smallest") << QSize(64, 64) << QSize(64, 64);
        QTest::newRow("below the minimum") << QSize(20, 10) << QSize(64, 64);
        QTest::newRow("large") << QSize(1000, 800) << QSize(1000, 800);
    }

    void controlsStayPutWhenResized()
    {
        QFETCH(QSize, asked);
        QFETCH(QSize, content);
        App::Instance()->Fileabout_Action();
        Settle();
        aboutLV* about = openAbout();
        resizeContent(about, asked);
        QTRY_COMPARE(about->ContentWidget()->size(), content);
        QCOMPARE(about->StaticText1()->Widget()->geometry(), QRect(56, 16, 172, 97));
        QCOMPARE(about->PushButton1()->Widget()->geometry(), QRect(191, 125, 80, 20));
        QCOMPARE(about->PushButton2()->Widget()->geometry(), QRect(41, 125, 116, 20));
    }
};

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
