#include "platform/folder_item.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class FolderItemTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return path;
    }

    QString ReadAllOf(const QByteArray& bytes)
    {
        auto stream = FolderItem(Write("text.txt", bytes)).OpenAsTextFile();
        return stream ? stream->ReadAll() : QStringLiteral("<nil>");
    }

private slots:
    void parentAndChild()
    {
        QVERIFY(!FolderItem("/").Parent());
        QCOMPARE(FolderItem("/").Child("usr")->NativePath(), QString("/usr"));
        QCOMPARE(FolderItem("/usr/share").Parent()->NativePath(), QString("/usr"));
        QCOMPARE(FolderItem("/usr").Parent()->NativePath(), QString("/"));

        const QString file = Write("plain.txt", "x");
        QVERIFY(!FolderItem(file).Child("a"));                    // a file has no children
        QVERIFY(!FolderItem(dir_.filePath("missing")).Child("a")); // nor has a missing folder
        auto child = FolderItem(dir_.path()).Child("not-yet");   // a child need not exist
        QVERIFY(child);
        QVERIFY(!child->Exists());
        QCOMPARE(child->Parent()->NativePath(), dir_.path());
    }

    void applicationFolderIsTheExecutablesGrandparentsParent()
    {
        QVERIFY(QDir(dir_.path()).mkpath("Lexivane/lexivane/bin"));
        const QString exe = dir_.filePath("Lexivane/lexivane/bin/lexivane");
        SetExecutablePathForTesting(exe);
        QCOMPARE(ExecutableFile()->NativePath(), exe);
        QCOMPARE(ApplicationFolder()->NativePath(), dir_.filePath("Lexivane"));
        auto db = GetFolderItem("LexivaneDB", 0);
        QVERIFY(db);
        QCOMPARE(db->NativePath(), dir_.filePath("Lexivane/LexivaneDB"));
        QVERIFY(!db->Exists());
        SetExecutablePathForTesting(QString());
        QCOMPARE(ExecutableFile()->NativePath(), QCoreApplication::applicationFilePath());
    }

    void openAsTextFileGivesNilWhenThereIsNothingToRead()
    {
        QVERIFY(!FolderItem(dir_.filePath("missing.txt")).OpenAsTextFile());
        QVERIFY(!FolderItem(dir_.path()).OpenAsTextFile());
    }

    void readAllChoosesTheEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("utf-8") << QByteArray("caf\xC3\xA9\rline") << QString::fromUtf8("café\rline");
        QTest::newRow("latin-1") << QByteArray("caf\xE9 na\xEFve") << QString::fromUtf8("café naïve");
        QTest::newRow("cut-off sequence") << QByteArray("ab\xC3") << QString::fromUtf8("abÃ");
        QTest::newRow("nul bytes kept") << QByteArray("a\0b", 3) << QStringView(u"a\0b", 3).toString();
    }
    void readAllChoosesTheEncoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(ReadAllOf(bytes), text);
    }
};

QTEST_GUILESS_MAIN(FolderItemTest)
#include "folder_item_test.moc"
