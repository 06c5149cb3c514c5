// Opening the word database when the main window opens: the start message, the random
// generator and the focus on success; the failure message and the quit otherwise; and a
// database file that is never created or changed.
#include "app/startup.h"
#include "platform/runtime.h"
#include "platform/window.h"
#include "search/window1.h"
#include "test_support.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

namespace {

// The message boxes show a carriage return as a line break.
const QString kOpened = "The database is opened.\nLexivane v 0.6.01";
const QString kCouldNotOpen =
    "The database couldn't be opened. Program will quit.\nLexivanedb must be in Lexivane Folder";

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Every file and folder under a folder, with its size, so that a file the program
// creates (a database, a journal) shows as a difference.
QStringList listing(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        entries << QDir(folder).relativeFilePath(it.filePath()) + " " + QString::number(it.fileInfo().size());
    }
    entries.sort();
    return entries;
}

Window1* openMainWindow()
{
    return static_cast<Window1*>(Window::GetImplicitWindow("Window1.Window1"));
}

}  // namespace

class DatabaseConnectionTest : public QObject {
    Q_OBJECT

    TestPackage* package_ = nullptr;

    // Starts the program as its entry routine does and returns the text of every
    // message box it showed while starting, each answered with its default button.
    QStringList start()
    {
        InstallFrameworkFilters();
        SetExecutablePathForTesting(package_->executablePath());
        ResetQuitForTesting();
        AnsweredModalTexts().clear();
        AnswerAllModals();
        RunFrameworkInitialization(Startup);
        Settle();
        StopAnsweringModals();
        return AnsweredModalTexts();
    }

    static bool searchFieldHasFocus(Window1* w)
    {
        // The focus within the main window: offscreen, the window need not be active.
        return w->TopLevelWidget()->focusWidget() == w->EFfindword()->Widget();
    }

private slots:
    void init() { package_ = new TestPackage; }

    void cleanup()
    {
        StopProgram();
        delete package_;
    }

    void validDatabaseOpensAtEveryStart()
    {
        package_->setWords({{1, "cat", "noun", "a small feline"}});
        const QByteArray before = fileBytes(package_->databasePath());
        const QStringList filesBefore = listing(package_->folder());
        // Nothing is remembered between runs: the second start greets the same way.
        for (int run = 0; run < 2; ++run) {
            QCOMPARE(start(), QStringList{kOpened});
            Window1* w = openMainWindow();
            QVERIFY(w);
            QVERIFY(!QuitRequested());
            QVERIFY(w->db);
            QVERIFY(w->randomize);
            QCOMPARE(w->f->NativePath(), package_->databasePath());
            QVERIFY(searchFieldHasFocus(w));
            StopProgram();
        }
        QCOMPARE(fileBytes(package_->databasePath()), before);
        QCOMPARE(listing(package_->folder()), filesBefore);
    }

    void unusableDatabaseQuits_data()
    {
        QTest::addColumn<QString>("where");    // relative to the folder that holds the application
        QTest::addColumn<QByteArray>("bytes"); // "<none>": no file there
        QByteArray noise(4096, '\0');
        quint32 x = 2463534242u;
        for (char& c : noise) {
            x ^= x << 13; x ^= x >> 17; x ^= x << 5;
            c = char(x);
        }
        QTest::newRow("missing") << "LexivaneDB" << QByteArray("<none>");
        QTest::newRow("empty file") << "LexivaneDB" << QByteArray();
        QTest::newRow("random bytes") << "LexivaneDB" << noise;
        QTest::newRow("text file") << "LexivaneDB" << QByteArray("cat\tnoun\ta small feline\n");
        QTest::newRow("folder") << "LexivaneDB/" << QByteArray("<none>");
        // A good database in the wrong place is not looked for.
        QTest::newRow("in Resources") << "lexivane/Resources/LexivaneDB" << QByteArray("<database>");
        QTest::newRow("inside the package") << "lexivane/LexivaneDB" << QByteArray("<database>");
        QTest::newRow("beside the executable") << "lexivane/bin/LexivaneDB" << QByteArray("<database>");
    }

    void unusableDatabaseQuits()
    {
        QFETCH(QString, where);
        QFETCH(QByteArray, bytes);
        const QString path = package_->folder() + "/" + where;
        if (where.endsWith('/')) QVERIFY(QDir().mkpath(path));
        else if (bytes == "<database>") MakeWordDatabase(path, {{1, "cat", "noun", "a small feline"}});
        else if (bytes != "<none>") writeFile(path, bytes);
        const QByteArray before = fileBytes(path);
        const QStringList filesBefore = listing(package_->folder());

        QCOMPARE(start(), QStringList{kCouldNotOpen});
        QVERIFY(QuitRequested());
        Window1* w = openMainWindow();
        QVERIFY(w);
        QVERIFY(!w->randomize);
        QVERIFY(w->db && w->f);
        QVERIFY(searchFieldHasFocus(w));
        // The file is read as found: not created, not written, no journal beside it.
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(listing(package_->folder()), filesBefore);
    }

    void databaseWithoutTheWordTableFailsAtTheFirstSearch()
    {
        RunSql(package_->databasePath(), "CREATE TABLE other (id INTEGER, word TEXT);"
                                         "INSERT INTO other VALUES (1, 'cat');");
        const QByteArray before = fileBytes(package_->databasePath());
        QCOMPARE(start(), QStringList{kOpened});
        Window1* w = openMainWindow();
        QVERIFY(w && w->randomize && !QuitRequested());

        w->EFfindword()->SetText("cat");
        QString shown;
        AnswerNextModal([&](QWidget* box) {
            shown = ModalText(box);
            ClickButton(box, "OK");
        });
        QTest::mouseClick(w->PushButton1()->Widget(), Qt::LeftButton);
        QTRY_VERIFY(!shown.isEmpty());
        QCOMPARE(shown, QString("no such table: thewords"));
        QCOMPARE(w->Listbox1()->ListCount(), 0);
        QCOMPARE(w->StaticText3()->Text(), QString("0"));
        QCOMPARE(fileBytes(package_->databasePath()), before);
    }
};

QTEST_MAIN(DatabaseConnectionTest)
#include "database_connection_test.moc"
