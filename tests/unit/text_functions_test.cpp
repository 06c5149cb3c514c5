// The text functions, each with the edge cases their callers meet.
#include "platform/text_functions.h"

#include <QtTest>

class TextFunctionsTest : public QObject {
    Q_OBJECT

private slots:
    void strOfNumbers()
    {
        // Whole doubles print as integers: the test copy prints Val(tag) + 1 this way.
        QCOMPARE(QStringList({Str(qint64(-12)), Str(Val("-1") + 1), Str(3.0), Str(-0.0), Str(12345678.0),
                              Str(1.0 / 3.0), Str(1234567.8)}),
                 QStringList({"-12", "0", "3", "0", "12345678", "0.3333333", "1234568"}));
        QStringList kept, expected;   // each text stays as it was made
        for (const qint64 n : {qint64(0), qint64(7), qint64(-10), qint64(4294967296), std::numeric_limits<qint64>::max(),
                               std::numeric_limits<qint64>::min()})
            kept << Str(n), expected << QString::number(n);
        QCOMPARE(kept, expected);
    }

    void valReadsTheLeadingNumber()
    {
        const std::pair<const char*, double> cases[] = {
            {"12abc", 12}, {"abc", 0}, {"", 0}, {"-1", -1}, {"  +7", 7}, {"-", 0}, {"3.25 m", 3.25}, {".5", 0.5},
            {"1e3", 1000}, {"15e-1x", 1.5}, {"2e", 2} /* an exponent needs digits */, {"4,5", 4}};
        for (const auto& [text, value] : cases) QVERIFY2(Val(text) == value, text);
    }

    void formatMasks()
    {
        QCOMPARE(QStringList({Format(1, "00"), Format(123, "00"), Format(0, "00"), Format(-5, "00"),
                              Format(3.14159, "0.00"), Format(0.5, "#.##"), Format(0.5, ".00"), Format(7, "No. #00!")}),
                 QStringList({"01", "123", "00", "-05", "3.14", ".5", ".50", "No. 07!"}));
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
                              Chr(13), Chr(0x1F600), Chr(-1)}),
                 QStringList({"__a__", "abc", "aaaaaa", "\r", QString::fromUtf8("\xF0\x9F\x98\x80"), ""}));
        QVERIFY(CompareText("Cat", "cAT") == 0 && CompareText("a", "B") < 0);
        QVERIFY(TextEquals("contraction of", "Contraction Of") && !TextEquals("cat", "cats"));
        // Equality agrees with the comparison, letters beyond ASCII too.
        const QString texts[] = {"", "été", "ÉTÉ", "Straße", "STRASSE", "ǅ", "ǆ", "\U0001D400", "ΣΑΣ", "σας", "cat"};
        for (const QString& a : texts)
            for (const QString& b : texts)
                QVERIFY2(TextEquals(a, b) == (CompareText(a, b) == 0), qPrintable(a + " " + b));
    }
};

QTEST_GUILESS_MAIN(TextFunctionsTest)
#include "text_functions_test.moc"
