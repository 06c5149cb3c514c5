// Opening the word database when the main window opens: the message, the random generator,
// the focus and the quit, for good and unusable files; the file is never created or changed.
#include "app/startup.h"
#include "platform/runtime.h"
#include "search/window1.h"
#include "test_support.h"

#include <QtTest>

class DatabaseConnectionTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { StopProgram(); }

    void openingTheDatabase_data()
    {
        QTest::addColumn<QString>("where"); // relative to the folder that holds the application
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("search"); // the message of a first search, or "(quits)"
        QTest::newRow("word database") << "LexivaneDB" << QByteArray("<words>") << "";
        // The engine opens it, so the start succeeds; the first search shows the error.
        QTest::newRow("without the word table") << "LexivaneDB" << QByteArray("<other>") << "no such table: thewords";
        QTest::newRow("missing") << "LexivaneDB" << QByteArray("<none>") << "(quits)";
        QTest::newRow("empty file") << "LexivaneDB" << QByteArray() << "(quits)";
        QTest::newRow("text file") << "LexivaneDB" << QByteArray("cat\tnoun\ta small feline\n") << "(quits)";
        QTest::newRow("folder") << "LexivaneDB/" << QByteArray("<none>") << "(quits)";
        // A good database elsewhere is not looked for.
        QTest::newRow("in the package") << "lexivane/LexivaneDB" << QByteArray("<words>") << "(quits)";
        QTest::newRow("in Resources") << "lexivane/Resources/LexivaneDB" << QByteArray("<words>") << "(quits)";
        QTest::newRow("beside the executable") << "lexivane/bin/LexivaneDB" << QByteArray("<words>") << "(quits)";
    }

    void openingTheDatabase()
    {
        QFETCH(QString, where);
        QFETCH(QByteArray, content);
        QFETCH(QString, search);
        const bool opens = search != "(quits)";
        TestPackage package;
        QFile file(package.folder() + "/" + where);
        if (content == "<words>") MakeWordDatabase(file.fileName(), {{1, "cat", "noun", "a small feline"}});
        else if (content == "<other>") RunSql(file.fileName(), "CREATE TABLE other (id INTEGER, word TEXT)");
        else if (where.endsWith('/')) QVERIFY(QDir().mkpath(file.fileName()));
        else if (content != "<none>") QVERIFY(file.open(QFile::WriteOnly) && file.write(content) >= 0 && file.flush());
        const QStringList before = Listing(package.folder());
        // Nothing is remembered between runs: the second start goes the same way.
        for (int run = 0; run < 2; ++run) {
            InstallFrameworkFilters();
            SetExecutablePathForTesting(package.executablePath());
            ResetQuitForTesting();
            QCOMPARE(MessagesOf([] { RunFrameworkInitialization(Startup); }).join("|"),
                     opens ? "The database is opened.\nLexivane v 0.6.01"
                           : "The database couldn't be opened. Program will quit.\n"
                             "Lexivanedb must be in Lexivane Folder");
            auto* w = static_cast<Window1*>(Window::GetImplicitWindow("Window1.Window1"));
            QVERIFY(w && w->db);
            QCOMPARE(w->f->NativePath(), package.databasePath());
            QVERIFY(QuitRequested() != opens && bool(w->randomize) == opens);
            // Either way the search field has the focus within the main window.
            QCOMPARE(w->TopLevelWidget()->focusWidget(), w->EFfindword()->Widget());
            w->EFfindword()->SetText("cat");
            if (opens) QCOMPARE(MessagesOf([w] { w->PushButton1()->Push(); }).join("|"), search);
            StopProgram();
        }
        // The file is read as found: not created, not written, no journal beside it.
        QCOMPARE(Listing(package.folder()), before);
    }
};

QTEST_MAIN(DatabaseConnectionTest)
#include "database_connection_test.moc"
