// Generated record codes with injected draws, at the rounding boundaries.
//
// The program multiplies in doubles, so each draw below was chosen for what
// the double product is, checked with exact rational arithmetic: 0.5 * 999999
// is exactly 499999.5, and 0.5 * 25 exactly 12.5; the other products are not
// exact in real numbers but round, as doubles, to exactly the halves named.

#include "common/recordcode.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <cmath>
#include <memory>
#include <vector>

using namespace velinor;

namespace {

// Hands out the given values in order; asking for more fails the test.
Draws sequence(std::vector<double> values)
{
    auto state = std::make_shared<std::pair<std::vector<double>, size_t>>(std::move(values), 0);
    return [state] {
        if (state->second >= state->first.size())
            qFatal("more draws asked for than given");
        return state->first[state->second++];
    };
}

const double belowOne = std::nextafter(1.0, 0.0);

} // namespace

class RecordCodeTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setRecordCodeDraws({}); }

    void number_data()
    {
        QTest::addColumn<double>("r1");
        QTest::addColumn<QString>("number");
        QTest::newRow("zero") << 0.0 << "0";
        // 499999.5: the even neighbour is above.
        QTest::newRow("half, even above") << 0.5 << "500000";
        // The double product is exactly 2.5: the even neighbour is below,
        // where rounding half away from zero would give 3.
        QTest::newRow("half, even below") << 2.5 / 999999.0 << "2";
        QTest::newRow("4.5 to 4") << 4.5 / 999999.0 << "4";
        QTest::newRow("1.5 to 2") << 1.5 / 999999.0 << "2";
        QTest::newRow("just below one") << belowOne << "999999";
        QTest::newRow("no leading zeros") << 0.00005 << "50";
    }
    void number()
    {
        QFETCH(double, r1);
        QFETCH(QString, number);
        QCOMPARE(recordCode("TIR", "", sequence({r1, 0.0})), "TIR" + number + "A");
    }

    void letter_data()
    {
        QTest::addColumn<double>("r2");
        QTest::addColumn<QString>("letter");
        QTest::newRow("zero") << 0.0 << "A";
        QTest::newRow("0.5 to 0") << 0.02 << "A";    // 0.02 * 25 == 0.5
        QTest::newRow("1.5 to 2") << 0.06 << "C";    // 1.5
        QTest::newRow("2.5 to 2") << 0.1 << "C";     // 2.5, half away would give D
        QTest::newRow("12.5 to 12") << 0.5 << "M";   // exact
        QTest::newRow("24.5 to 24") << 0.98 << "Y";  // half away would give Z
        QTest::newRow("just above 0.5") << 0.0201 << "B";
        QTest::newRow("just below one") << belowOne << "Z";
    }
    void letter()
    {
        QFETCH(double, r2);
        QFETCH(QString, letter);
        QCOMPARE(recordCode("CUS", "", sequence({0.0, r2})), "CUS0" + letter);
    }

    void firstDrawIsTheNumberSecondTheLetter()
    {
        QCOMPARE(recordCode("ORD", "", sequence({0.5, 0.1})), QString("ORD500000C"));
        QCOMPARE(recordCode("ORD", "", sequence({0.1, 0.5})), QString("ORD100000M"));
    }

    void boxTextSitsBetweenNumberAndLetter()
    {
        QCOMPARE(recordCode("TIR", "X7", sequence({0.5, 0.98})), QString("TIR500000X7Y"));
        // Whatever the box held, as it was, spaces and a previous code too.
        QCOMPARE(recordCode("CUS", " a b ", sequence({0.0, 0.0})), QString("CUS0 a b A"));
        QCOMPARE(recordCode("CUS", "CUS12Q", sequence({0.0, 0.0})), QString("CUS0CUS12QA"));
    }

    void prefixKept_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::newRow("articles") << "TIR";
        QTest::newRow("customers") << "CUS";
        QTest::newRow("orders") << "ORD";
        QTest::newRow("empty") << "";
    }
    void prefixKept()
    {
        QFETCH(QString, prefix);
        QCOMPARE(recordCode(prefix, "", sequence({0.5, 0.5})), prefix + "500000M");
    }

    void injectedDrawsServeTheDefaultCall()
    {
        setRecordCodeDraws(sequence({0.5, 0.1, 0.0, 0.98}));
        QCOMPARE(recordCode("TIR", ""), QString("TIR500000C"));
        QCOMPARE(recordCode("TIR", "z"), QString("TIR0zY"));
    }

    void clockSeededCodesHaveTheShape()
    {
        setRecordCodeDraws({});
        static const QRegularExpression shape("^TIR(0|[1-9]\\d{0,5})[A-Z]$");
        QSet<QString> seen;
        for (int i = 0; i < 200; ++i) {
            const QString code = recordCode("TIR", "");
            QVERIFY2(shape.match(code).hasMatch(), qPrintable(code));
            seen.insert(code);
        }
        // Re-seeded from the clock each time, yet not one code over and over.
        QVERIFY2(seen.size() > 1, "every clock-seeded code was the same");
    }
};

QTEST_MAIN(RecordCodeTest)
#include "tst_recordcode.moc"
