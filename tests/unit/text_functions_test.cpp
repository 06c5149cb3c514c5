#include "platform/text_functions.h"

#include <QtTest>

class TextFunctionsTest : public QObject {
    Q_OBJECT

private slots:
    void strOfNumbers()
    {
        QCOMPARE(Str(qint64(-12)), QString("-12"));
        QCOMPARE(Str(qint64(4096)), QString("4096"));
        // Whole doubles print as integers: the test copy prints Val(tag) + 1 this way.
        QCOMPARE(Str(3.0), QString("3"));
        QCOMPARE(Str(-1.0), QString("-1"));
        QCOMPARE(Str(Val("-1") + 1), QString("0"));
        QCOMPARE(Str(-0.0), QString("0"));
        QCOMPARE(Str(0.5), QString("0.5"));
        QCOMPARE(Str(1.0 / 3.0), QString("0.3333333"));
        QCOMPARE(Str(1234567.8), QString("1234568"));
    }

    void valReadsTheLeadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("digits then letters") << "12abc" << 12.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("negative") << "-1" << -1.0;
        QTest::newRow("plus and blanks") << "  +7" << 7.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("fraction") << "3.25 m" << 3.25;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("signed exponent") << "15e-1x" << 1.5;
        QTest::newRow("exponent without digits") << "2e" << 2.0;
        QTest::newRow("second number ignored") << "4,5" << 4.0;
    }
    void valReadsTheLeadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(Val(text), value);
    }

    void formatMasks()
    {
        QCOMPARE(Format(1, "00"), QString("01"));
        QCOMPARE(Format(10, "00"), QString("10"));
        QCOMPARE(Format(123, "00"), QString("123"));
        QCOMPARE(Format(0, "00"), QString("00"));
        QCOMPARE(Format(-5, "00"), QString("-05"));
        QCOMPARE(Format(3.14159, "0.00"), QString("3.14"));
        QCOMPARE(Format(2.5, "0.##"), QString("2.5"));
        QCOMPARE(Format(0.5, "#.##"), QString(".5"));
        QCOMPARE(Format(0.5, ".00"), QString(".50"));
        QCOMPARE(Format(7, "No. #00!"), QString("No. 07!"));
    }

    void fields()
    {
        QCOMPARE(CountFields("", ","), 0);
        QCOMPARE(CountFields("a", ","), 1);
        QCOMPARE(CountFields("4,5", ","), 2);
        QCOMPARE(CountFields("4,,5", ","), 3);
        QCOMPARE(CountFields("4,", ","), 2);

        QCOMPARE(NthField("12,57,9", ",", 1), QString("12"));
        QCOMPARE(NthField("12,57,9", ",", 3), QString("9"));
        QCOMPARE(NthField("4,,5", ",", 2), QString());
        QCOMPARE(NthField("4,,5", ",", 3), QString("5"));
        QCOMPARE(NthField("12,57", ",", 0), QString());
        QCOMPARE(NthField("12,57", ",", 3), QString());
        QCOMPARE(NthField("a, b, c", ", ", 2), QString("b"));
    }

    void replaceAll()
    {
        QCOMPARE(ReplaceAll("c-t", "-", "_"), QString("c_t"));
        QCOMPARE(ReplaceAll("--a--", "-", "_"), QString("__a__"));
        QCOMPARE(ReplaceAll("abc", "", "_"), QString("abc"));
        QCOMPARE(ReplaceAll("aaa", "a", "aa"), QString("aaaaaa"));
    }

    void chr()
    {
        QCOMPARE(Chr(13), QString("\r"));
        QCOMPARE(Chr(9), QString("\t"));
        QCOMPARE(Chr(0xE9), QString::fromUtf8("é"));
        QCOMPARE(Chr(0x1F600), QString::fromUtf8("\xF0\x9F\x98\x80"));
        QCOMPARE(Chr(-1), QString());
    }

    void compareIgnoresCase()
    {
        QCOMPARE(CompareText("Cat", "cAT"), 0);
        QVERIFY(TextEquals("contraction of", "Contraction Of"));
        QVERIFY(CompareText("a", "B") < 0);
        QVERIFY(CompareText("Z", "a") > 0);
        QVERIFY(CompareText("", "a") < 0);
        QVERIFY(!TextEquals("cat", "cats"));
    }
};

QTEST_GUILESS_MAIN(TextFunctionsTest)
#include "text_functions_test.moc"
