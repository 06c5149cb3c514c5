// The text functions, each with the edge cases their callers meet.
#include "platform/text_functions.h"

#include <QtTest>
#include <limits>

class TextFunctionsTest : public QObject {
    Q_OBJECT

private slots:
    void valReadsTheLeadingNumber()
    {
        // Answer tags are whole numbers, -1 for an empty definition; the copy prints Val + 1.
        const std::pair<const char*, double> cases[] = {
            {"12", 12}, {"-1", -1}, {"", 0}, {"abc", 0}, {"-", 0}, {"12abc", 12}, {"4,5", 4}};
        for (const auto& [text, value] : cases) QVERIFY2(Val(text) == value, text);
        QCOMPARE(QStringList({Str(Val("-1") + 1), Str(Val("9") + 1), Str(qint64(4294967296))}),
                 QStringList({"0", "10", "4294967296"}));
        // Every number of digits, each side of a power of ten, and both ends of the range.
        for (qint64 power = 1;; power *= 10) {
            for (const qint64 n : {power - 1, power, power + 1, -power, 1 - power})
                QCOMPARE(Str(n), QString::number(n));
            if (power > std::numeric_limits<qint64>::max() / 10) break;
        }
        QCOMPARE(Str(std::numeric_limits<qint64>::max()), QString::number(std::numeric_limits<qint64>::max()));
        QCOMPARE(Str(std::numeric_limits<qint64>::min()), QString::number(std::numeric_limits<qint64>::min()));
    }

    void fieldsCountFromOne()
    {
        QCOMPARE(QList<int>({CountFields("", ","), CountFields("4,5", ","), CountFields("4,,5", ","), CountFields("4,", ",")}),
                 QList<int>({0, 2, 3, 2}));
        QCOMPARE(QStringList({NthField("12,57,9", ",", 3), NthField("4,,5", ",", 2), NthField("4,,5", ",", 3),
                              NthField("12,57", ",", 0), NthField("12,57", ",", 3), NthField("a, b, c", ", ", 2)}),
                 QStringList({"9", "", "5", "", "", "b"}));
    }

    void replaceAllChrAndCompare()
    {
        QCOMPARE(QStringList({ReplaceAll("--a--", "-", "_"), ReplaceAll("abc", "", "_"), ReplaceAll("aaa", "a", "aa"),
                              Chr(13)}),
                 QStringList({"__a__", "abc", "aaaaaa", "\r"}));
        // A code outside Unicode, or half of a surrogate pair, gives no character.
        for (const int code : {-1, 0xD800, 0xDFFF, 0x110000}) QVERIFY2(Chr(code).isEmpty(), qPrintable(QString::number(code)));
        for (const int code : {0, 0xD7FF, 0xE000, 0x10FFFF}) QCOMPARE(Chr(code).toUcs4(), QList<uint>{uint(code)});
        QVERIFY(CompareText("Cat", "cAT") == 0 && CompareText("a", "B") < 0);
        QVERIFY(TextEquals("contraction of", "Contraction Of") && !TextEquals("cat", "cats"));
        // Equality agrees with the comparison: letters beyond ASCII too, and the signs either side of A-Z and a-z.
        const QString texts[] = {"", "été", "ÉTÉ", "Straße", "STRASSE", "ǅ", "ǆ", "\U0001D400", "ΣΑΣ", "σας", "cat",
                                 "AZ", "az", "@", "`", "[", "{"};
        for (const QString& a : texts)
            for (const QString& b : texts)
                QVERIFY2(TextEquals(a, b) == (CompareText(a, b) == 0), qPrintable(a + " " + b));
    }
};

QTEST_GUILESS_MAIN(TextFunctionsTest)
#include "text_functions_test.moc"
