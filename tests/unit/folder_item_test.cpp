// Files: parents and children, the application's folder, and text files read whole.
#include "platform/folder_item.h"

#include <QtTest>

class FolderItemTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void parentAndChild()
    {
        QVERIFY(!FolderItem("/").Parent() && FolderItem("/").Child("usr")->NativePath() == "/usr");
        QCOMPARE(FolderItem("/usr/share").Parent()->NativePath(), QString("/usr"));
        QCOMPARE(FolderItem("/usr").Parent()->NativePath(), QString("/"));
        QFile(dir_.filePath("plain.txt")).open(QIODevice::WriteOnly);
        // Neither a file nor a missing folder has children.
        QVERIFY(!FolderItem(dir_.filePath("plain.txt")).Child("a") && !FolderItem(dir_.filePath("missing")).Child("a"));
        auto child = FolderItem(dir_.path()).Child("not-yet");          // a child need not exist
        QVERIFY(child && !child->Exists() && child->Parent()->NativePath() == dir_.path());
    }

    void applicationFolderIsTheExecutablesGrandparentsParent()
    {
        QVERIFY(QDir(dir_.path()).mkpath("Lexivane/lexivane/bin"));
        SetExecutablePathForTesting(dir_.filePath("Lexivane/lexivane/bin/lexivane"));
        QCOMPARE(ApplicationFolder()->NativePath(), dir_.filePath("Lexivane"));
        QCOMPARE(GetFolderItem("LexivaneDB", 0)->NativePath(), dir_.filePath("Lexivane/LexivaneDB"));
        SetExecutablePathForTesting(QString());
        QCOMPARE(ExecutableFile()->NativePath(), QCoreApplication::applicationFilePath());
    }

    void readAllChoosesTheEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");   // "<none>": no file
        QTest::addColumn<QString>("text");       // "<nil>": no stream
        QTest::newRow("utf-8") << QByteArray("caf\xC3\xA9\rline") << QString::fromUtf8("café\rline");
        QTest::newRow("latin-1") << QByteArray("caf\xE9 na\xEFve") << QString::fromUtf8("café naïve");
        QTest::newRow("cut-off sequence") << QByteArray("ab\xC3") << QString::fromUtf8("abÃ");
        QTest::newRow("nul bytes kept") << QByteArray("a\0b", 3) << QStringView(u"a\0b", 3).toString();
        QTest::newRow("missing file") << QByteArray("<none>") << "<nil>";
    }

    void readAllChoosesTheEncoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFile file(dir_.filePath(QTest::currentDataTag()));
        QVERIFY(bytes == "<none>" || (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()));
        auto stream = FolderItem(file.fileName()).OpenAsTextFile();
        QCOMPARE(stream ? stream->ReadAll() : "<nil>", text);
        QVERIFY(!FolderItem(dir_.path()).OpenAsTextFile());   // nor is a folder read
    }
};

QTEST_GUILESS_MAIN(FolderItemTest)
#include "folder_item_test.moc"
