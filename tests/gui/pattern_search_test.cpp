// The pattern search on small word databases: rows and their id tags, the count label,
// the failure and no-match paths, pasted wildcards and quotes; and the search field's key
// filter driven by real key events.
#include "platform/menu_item.h"
#include "search/window1.h"
#include "test_support.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QtTest>

using Records = std::vector<WordRecord>;
Q_DECLARE_METATYPE(Records)

namespace {
QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

const Records kSmall = {
    {4, "cat", "noun", "a feline"},
    {5, "cat", "verb", "to hoist an anchor"},
    {9, "cot", "noun", "a small bed"},
    {11, "cats", "noun", "more than one cat"},
    {12, "dog", "noun", "a canine"},
};
}  // namespace

class PatternSearchTest : public QObject {
    Q_OBJECT

    TestPackage* package_ = nullptr;
    QByteArray databaseBytes_;

    Window1* w() { return Window1::Instance(); }
    QWidget* field() { return w()->EFfindword()->Widget(); }

    void startWith(const Records& records)
    {
        package_->setWords(records);
        databaseBytes_ = fileBytes(package_->databasePath());
        QVERIFY(StartProgram(*package_));
    }

    // Every row as "word|tag".
    QStringList rows()
    {
        QStringList out;
        for (int i = 0; i < w()->Listbox1()->ListCount(); ++i)
            out << w()->Listbox1()->Cell(i, 0) + "|" + w()->Listbox1()->CellTag(i, 0);
        return out;
    }

    // Presses "do" with this search text; returns the text of the message box the
    // search showed, if any.
    QString search(const QString& text)
    {
        w()->EFfindword()->SetText(text);
        QString shown;
        AnswerAllModals();
        AnsweredModalTexts().clear();
        QTest::mouseClick(w()->PushButton1()->Widget(), Qt::LeftButton);
        Settle();
        StopAnsweringModals();
        if (!AnsweredModalTexts().isEmpty()) shown = AnsweredModalTexts().join("\n");
        return shown;
    }

    // Types each character as its own key event; QTest::keyClicks takes ASCII only.
    void type(const QString& text)
    {
        for (const QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClick(field(), c.toLatin1());
            } else {
                const auto key = Qt::Key(c.toUpper().unicode());
                QTest::sendKeyEvent(QTest::Press, field(), key, QString(c), Qt::NoModifier);
                QTest::sendKeyEvent(QTest::Release, field(), key, QString(c), Qt::NoModifier);
            }
        }
    }

    void focusSearchField()
    {
        w()->TopLevelWidget()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w()->TopLevelWidget()));
        w()->EFfindword()->SetFocus();
        QTRY_COMPARE(QApplication::focusWidget(), field());
    }

private slots:
    void init() { package_ = new TestPackage; }

    void cleanup()
    {
        StopProgram();
        // Whatever the searches did, the word database is read only.
        if (!databaseBytes_.isEmpty()) QCOMPARE(fileBytes(package_->databasePath()), databaseBytes_);
        databaseBytes_.clear();
        delete package_;
    }

    void searchListsRunsOfRecords_data()
    {
        QTest::addColumn<Records>("records");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("c-t") << kSmall << "c-t" << QStringList{"cat|4,5", "cot|9"};
        QTest::newRow("letters only") << kSmall << "cat" << QStringList{"cat|4,5"};
        QTest::newRow("length counts") << kSmall << "----" << QStringList{"cats|11"};
        QTest::newRow("skipped record inside a run")
            << Records{{1, "be", "noun", "x"}, {2, "be", "contraction of", "y"}, {3, "be", "verb", "z"}} << "be"
            << QStringList{"be|1,3"};
        QTest::newRow("only adjacent records merge")
            << Records{{1, "ab", "noun", "x"}, {2, "ac", "noun", "y"}, {3, "ab", "verb", "z"}} << "a-"
            << QStringList{"ab|1", "ac|2", "ab|3"};
        QTest::newRow("letter case merges and matches")
            << Records{{1, "Cat", "noun", "x"}, {2, "cat", "noun", "y"}, {3, "CAT", "verb", "z"}} << "cat"
            << QStringList{"Cat|1,2,3"};
        QTest::newRow("empty word on the first record")
            << Records{{1, "", "noun", "x"}, {2, "", "verb", "y"}, {3, "a", "noun", "z"}} << ""
            << QStringList{"|1,2"};
        QTest::newRow("pasted percent") << kSmall << "%"
                                        << QStringList{"cat|4,5", "cot|9", "cats|11", "dog|12"};
        QTest::newRow("pasted percent inside") << kSmall << "c%s" << QStringList{"cats|11"};
        QTest::newRow("pasted underscore") << kSmall << "_o_" << QStringList{"cot|9", "dog|12"};
        QTest::newRow("pasted quote")
            << Records{{1, "o'clock", "adverb", "x"}, {2, "oxclock", "noun", "y"}} << "o'clock"
            << QStringList{"o'clock|1"};
        QTest::newRow("quote with minus")
            << Records{{1, "o'clock", "adverb", "x"}, {2, "oxclock", "noun", "y"}} << "o'-lock"
            << QStringList{"o'clock|1"};
        QTest::newRow("non-ASCII letters")
            << Records{{1, "café", "noun", "x"}, {2, "cafe", "noun", "y"}} << "café" << QStringList{"café|1"};
        QTest::newRow("minus matches one non-ASCII letter")
            << Records{{1, "café", "noun", "x"}, {2, "cafes", "noun", "y"}} << "caf-" << QStringList{"café|1"};
        QTest::newRow("large ids")
            << Records{{4294967296LL, "cat", "noun", "x"}, {7, "cat", "verb", "y"}} << "cat"
            << QStringList{"cat|4294967296,7"};
    }

    void searchListsRunsOfRecords()
    {
        QFETCH(Records, records);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        startWith(records);
        QCOMPARE(search(text), QString());
        QCOMPARE(rows(), expected);
        QCOMPARE(w()->StaticText3()->Text(), QString::number(expected.size()));
        // The search leaves its text alone.
        QCOMPARE(w()->EFfindword()->Text(), text);
    }

    void onlySkippedRecordsEmptyTheListAndCountZero()
    {
        startWith({{1, "cat", "noun", "x"}, {2, "cot", "noun", "y"}, {3, "isn't", "contraction of", "is not"}});
        search("c-t");
        QCOMPARE(w()->StaticText3()->Text(), QString("2"));
        QCOMPARE(search("isn't"), QString());
        QCOMPARE(rows(), QStringList());
        // Records came, so the count is written: it counts the rows, none.
        QCOMPARE(w()->StaticText3()->Text(), QString("0"));
    }

    void noMatchEmptiesTheListAndKeepsTheCount()
    {
        startWith(kSmall);
        QCOMPARE(search("zzz"), QString());
        QCOMPARE(w()->StaticText3()->Text(), QString("0"));
        search("c-t");
        w()->Listbox1()->SetListIndex(1);
        QCOMPARE(search("zzz"), QString());
        QCOMPARE(rows(), QStringList());
        QCOMPARE(w()->Listbox1()->ListIndex(), -1);
        QCOMPARE(w()->StaticText3()->Text(), QString("2"));
        // A very long pattern is just one that matches nothing.
        search("c-t");
        QCOMPARE(search(QString(10000, 'a')), QString());
        QCOMPARE(rows(), QStringList());
        QCOMPARE(w()->StaticText3()->Text(), QString("2"));
    }

    void queryErrorShowsTheEngineMessageAndChangesNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("dropTable");
        QTest::addColumn<QString>("message");
        QTest::newRow("table gone") << "dog" << true << "no such table: thewords";
        QTest::newRow("pattern too long") << QString(60000, '-') << false << "LIKE or GLOB pattern too complex";
    }

    void queryErrorShowsTheEngineMessageAndChangesNothing()
    {
        QFETCH(QString, text);
        QFETCH(bool, dropTable);
        QFETCH(QString, message);
        startWith(kSmall);
        search("c-t");
        w()->Listbox1()->SetListIndex(1);
        const QString definition = w()->EFdefinition()->Text();
        if (dropTable) {
            // Another program changes the file under the open connection.
            RunSql(package_->databasePath(), "DROP TABLE thewords");
            databaseBytes_ = fileBytes(package_->databasePath());
        }
        QCOMPARE(search(text), message);
        QCOMPARE(rows(), (QStringList{"cat|4,5", "cot|9"}));
        QCOMPARE(w()->Listbox1()->ListIndex(), 1);
        QCOMPARE(w()->EFdefinition()->Text(), definition);
        QCOMPARE(w()->StaticText3()->Text(), QString("2"));
    }

    void newSearchReplacesRowsTagsAndSelection()
    {
        startWith(kSmall);
        search("%");
        w()->Listbox1()->SetListIndex(3);
        search("c-t");
        QCOMPARE(rows(), (QStringList{"cat|4,5", "cot|9"}));
        QCOMPARE(w()->Listbox1()->ListIndex(), -1);
        QCOMPARE(w()->Listbox1()->LastIndex(), 1);
        // What the window shows agrees with the list.
        auto* view = qobject_cast<QAbstractItemView*>(w()->Listbox1()->Widget());
        QCOMPARE(view->model()->rowCount(), 2);
        QCOMPARE(view->model()->index(1, 0).data().toString(), QString("cot"));
    }

    void rowsCanBeSelectedStraightAfterTheSearch()
    {
        startWith(kSmall);
        // No event runs between the search and the selection.
        w()->EFfindword()->SetText("%");
        w()->getwords();
        w()->Listbox1()->SetListIndex(3);
        QCOMPARE(w()->Listbox1()->ListIndex(), 3);
        QVERIFY(w()->Listbox1()->Selected(3));
        QCOMPARE(w()->EFdefinition()->Text(), QString("a canine"));
    }

    void keyFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letters") << "cat" << "cat";
        QTest::newRow("minus") << "c-t" << "c-t";
        QTest::newRow("capital letters (letter case ignored)") << "CaT" << "CaT";
        QTest::newRow("digit") << "c4t" << "ct";
        QTest::newRow("space") << "c t" << "ct";
        QTest::newRow("underscore") << "c_t" << "ct";
        QTest::newRow("percent") << "c%" << "c";
        QTest::newRow("apostrophe") << "o'clock" << "oclock";
        QTest::newRow("brackets around the letters") << "[`a{" << "a";
        QTest::newRow("non-ASCII letter") << "café" << "caf";
    }

    void keyFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        startWith(kSmall);
        focusSearchField();
        type(typed);
        QCOMPARE(w()->EFfindword()->Text(), expected);
    }

    void editingKeysWork()
    {
        startWith(kSmall);
        focusSearchField();
        QTest::keyClicks(field(), "cat");
        QTest::keyClick(field(), Qt::Key_Left);
        QTest::keyClick(field(), Qt::Key_Left);
        QTest::keyClick(field(), Qt::Key_Backspace);
        QTest::keyClicks(field(), "o");
        QTest::keyClick(field(), Qt::Key_Right);
        QTest::keyClicks(field(), "-");
        QCOMPARE(w()->EFfindword()->Text(), QString("oa-t"));
    }

    void anyKeyGoesInWhileAnEditingKeyIsHeld_data()
    {
        QTest::addColumn<int>("held");
        QTest::addColumn<QString>("expected");
        // "cat" with the cursor at its end, then the held key acts once, then "4 %".
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << "ca4 %";
        QTest::newRow("left") << int(Qt::Key_Left) << "ca4 %t";
        QTest::newRow("right") << int(Qt::Key_Right) << "cat4 %";
    }

    void anyKeyGoesInWhileAnEditingKeyIsHeld()
    {
        QFETCH(int, held);
        QFETCH(QString, expected);
        startWith(kSmall);
        focusSearchField();
        QTest::keyClicks(field(), "cat");
        QTest::keyPress(field(), Qt::Key(held));
        QTest::keyClicks(field(), "4 %");
        QTest::keyRelease(field(), Qt::Key(held));
        QCOMPARE(w()->EFfindword()->Text(), expected);
        // Released, the filter refuses again.
        QTest::keyClicks(field(), "9");
        QCOMPARE(w()->EFfindword()->Text(), expected);
    }

    void pastedTextIsNotFiltered_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("Edit > Paste") << true;
        QTest::newRow("Ctrl+V") << false;
    }

    void pastedTextIsNotFiltered()
    {
        QFETCH(bool, byMenu);
        startWith(kSmall);
        focusSearchField();
        // A refused key just before must not block the paste.
        QTest::keyClicks(field(), "c7");
        QApplication::clipboard()->setText("%s 1_'");
        if (byMenu) {
            RefreshMenus();
            QVERIFY(w()->EditPaste()->Enabled());
            w()->EditPaste()->Action()->trigger();
        } else {
            QTest::keyClick(field(), Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(w()->EFfindword()->Text(), QString("c%s 1_'"));
        // A pasted wildcard acts as one.
        w()->EFfindword()->SetText("");
        QApplication::clipboard()->setText("c%");
        if (byMenu) w()->EditPaste()->Action()->trigger();
        else QTest::keyClick(field(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(search(w()->EFfindword()->Text()), QString());
        QCOMPARE(rows(), (QStringList{"cat|4,5", "cot|9", "cats|11"}));
    }

    void returnRunsTheSearch()
    {
        startWith(kSmall);
        focusSearchField();
        QTest::keyClicks(field(), "c-t");
        QTest::keyClick(field(), Qt::Key_Return);
        QCOMPARE(rows(), (QStringList{"cat|4,5", "cot|9"}));
        QCOMPARE(w()->StaticText3()->Text(), QString("2"));
        QCOMPARE(w()->EFfindword()->Text(), QString("c-t"));
    }
};

QTEST_MAIN(PatternSearchTest)
#include "pattern_search_test.moc"
