#include "platform/text_functions.h"

#include <QtTest>

class TextFunctionsTest : public QObject {
    Q_OBJECT

private slots:
    void strOfNumbers()
    {
        QCOMPARE(Str(qint64(-12)), QString("-12"));
        // Whole doubles print as integers: the test copy prints Val(tag) + 1 this way.
        QCOMPARE(Str(Val("-1") + 1), QString("0"));
        QCOMPARE(Str(3.0), QString("3"));
        QCOMPARE(Str(-0.0), QString("0"));
        QCOMPARE(Str(12345678.0), QString("12345678"));
        QCOMPARE(Str(1.0 / 3.0), QString("0.3333333"));
        QCOMPARE(Str(1234567.8), QString("1234568"));
    }

    void valReadsTheLeadingNumber()
    {
        const std::pair<const char*, double> cases[] = {
            {"12abc", 12}, {"abc", 0}, {"", 0}, {"-1", -1}, {"  +7", 7}, {"-", 0},
            {"3.25 m", 3.25}, {".5", 0.5}, {"1e3", 1000}, {"15e-1x", 1.5},
            {"2e", 2},   // an exponent needs digits
            {"4,5", 4},
        };
        for (const auto& [text, value] : cases)
            QVERIFY2(Val(text) == value, text);
    }

    void formatMasks()
    {
        QCOMPARE(Format(1, "00"), QString("01"));
        QCOMPARE(Format(123, "00"), QString("123"));
        QCOMPARE(Format(0, "00"), QString("00"));
        QCOMPARE(Format(-5, "00"), QString("-05"));
        QCOMPARE(Format(3.14159, "0.00"), QString("3.14"));
        QCOMPARE(Format(0.5, "#.##"), QString(".5"));
        QCOMPARE(Format(0.5, ".00"), QString(".50"));
        QCOMPARE(Format(7, "No. #00!"), QString("No. 07!"));
    }

    void fields()
    {
        QCOMPARE(CountFields("", ","), 0);
        QCOMPARE(CountFields("4,5", ","), 2);
        QCOMPARE(CountFields("4,,5", ","), 3);
        QCOMPARE(CountFields("4,", ","), 2);
        QCOMPARE(NthField("12,57,9", ",", 3), QString("9"));
        QCOMPARE(NthField("4,,5", ",", 2), QString());
        QCOMPARE(NthField("4,,5", ",", 3), QString("5"));
        QCOMPARE(NthField("12,57", ",", 0), QString());
        QCOMPARE(NthField("12,57", ",", 3), QString());
        QCOMPARE(NthField("a, b, c", ", ", 2), QString("b"));
    }

    void replaceAllAndChr()
    {
        QCOMPARE(ReplaceAll("--a--", "-", "_"), QString("__a__"));
        QCOMPARE(ReplaceAll("abc", "", "_"), QString("abc"));
        QCOMPARE(ReplaceAll("aaa", "a", "aa"), QString("aaaaaa"));
        QCOMPARE(Chr(13), QString("\r"));
        QCOMPARE(Chr(0x1F600), QString::fromUtf8("\xF0\x9F\x98\x80"));
        QCOMPARE(Chr(-1), QString());
    }

    void compareIgnoresCase()
    {
        QCOMPARE(CompareText("Cat", "cAT"), 0);
        QVERIFY(TextEquals("contraction of", "Contraction Of"));
        QVERIFY(CompareText("a", "B") < 0);
        QVERIFY(!TextEquals("cat", "cats"));
    }
};

QTEST_GUILESS_MAIN(TextFunctionsTest)
#include "text_functions_test.moc"
