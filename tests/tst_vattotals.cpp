// The totals by VAT rate that the document screens, the printed documents
// and the electronic invoice share: taxable amounts summed per rate and
// rounded half up to the cent, the tax per rate rounded the same way.

#include "common/numbertext.h"
#include "einvoice/amount.h"
#include "einvoice/vattotals.h"

#include <QTest>

using namespace velinor;
using namespace velinor::einvoice;

class VatTotalsTest : public QObject {
    Q_OBJECT

private slots:
    void totalsByRate_data()
    {
        QTest::addColumn<QStringList>("lines"); // "quantity x price @ rate", computed as a screen does
        QTest::addColumn<QStringList>("rates"); // "rate taxable tax", by ascending rate
        QTest::addColumn<QStringList>("totals"); // taxable, tax, document

        QTest::newRow("37.5 at 20%, 10 at 22%")
            << QStringList{"3 x 12.5 @ 20", "1 x 10 @ 22"} << QStringList{"20 37.50 7.50", "22 10.00 2.20"}
            << QStringList{"47.50", "9.70", "57.20"};
        QTest::newRow("3.45 at 21%, 0.3 at 20%")
            << QStringList{"3 x 1.15 @ 21", "3 x 0.1 @ 20"} << QStringList{"20 0.30 0.06", "21 3.45 0.72"}
            << QStringList{"3.75", "0.78", "4.53"};
        QTest::newRow("three-decimal prices at 22% and 10%")
            << QStringList{"25 x 0.045 @ 22", "5 x 0.469 @ 10"} << QStringList{"10 2.35 0.24", "22 1.13 0.25"}
            << QStringList{"3.48", "0.49", "3.97"};
        QTest::newRow("100 lines of 0.01 at 22%")
            << QStringList(100, "1 x 0.01 @ 22") << QStringList{"22 1.00 0.22"} << QStringList{"1.00", "0.22", "1.22"};
        QTest::newRow("cents that agree only when summed first")
            << QStringList{"1 x 1.333 @ 22", "1 x 1.333 @ 22", "1 x 1.334 @ 22"} << QStringList{"22 4.00 0.88"}
            << QStringList{"4.00", "0.88", "4.88"};
        QTest::newRow("a credit rounds away from zero")
            << QStringList{"-1 x 0.125 @ 10"} << QStringList{"10 -0.13 -0.01"}
            << QStringList{"-0.13", "-0.01", "-0.14"};
        QTest::newRow("no lines") << QStringList{} << QStringList{} << QStringList{"0.00", "0.00", "0.00"};
    }
    void totalsByRate()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, rates);
        QFETCH(QStringList, totals);
        QList<TaxedLine> taxed;
        for (const QString& line : lines) {
            const QStringList p = line.split(' ');
            // As the lines grid holds it: the product as its 15-digit text.
            const double taxable = *parseNumber(formatNumber(p[0].toDouble() * p[2].toDouble(), QLocale::c()),
                                                QLocale::c());
            taxed.append(*taxedLine(taxable, p[4].toDouble()));
        }
        const VatTotals t = vatTotals(taxed);
        QStringList got;
        for (const RateTotal& r : t.rates)
            got << QStringList{r.rate.text(0, 2), r.taxable.text(2, 2), r.tax.text(2, 2)}.join(' ');
        QCOMPARE(got, rates);
        QCOMPARE((QStringList{moneyText(t.taxable, QLocale::c()), moneyText(t.tax, QLocale::c()),
                              moneyText(t.total, QLocale::c())}),
                 totals);
        const QLocale italian(QLocale::Italian, QLocale::Italy);
        QCOMPARE(moneyText(t.total, italian), totals[2].replace('.', ','));
    }

    // A stored double counts as its 15-digit text, whether the amount comes
    // by the quick path for short decimals or through the text.
    void amountsReadAsTheirText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("amount"); // eight places at most
        QTest::newRow("a typed price") << 12.5 << "12.5";
        QTest::newRow("1.15 x 3") << 1.15 * 3 << "3.45";
        QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << "0.3";
        QTest::newRow("a credit") << -0.125 << "-0.125";
        QTest::newRow("eight places") << 0.12345678 << "0.12345678";
        QTest::newRow("nine places, rounded half up") << 0.123456785 << "0.12345679";
        QTest::newRow("below a hundred-millionth") << 4e-9 << "0";
        QTest::newRow("just under ten million") << 9999999.99999999 << "9999999.99999999";
        QTest::newRow("ten million and a cent") << 10000000.01 << "10000000.01";
        QTest::newRow("fifteen digits") << 123456789012345.0 << "123456789012345";
        QTest::newRow("sixteen digits") << 1234567890123456.0 << "none";
    }
    void amountsReadAsTheirText()
    {
        QFETCH(double, value);
        QFETCH(QString, amount);
        const auto a = Amount::fromDouble(value);
        QCOMPARE(a ? a->text(0, 8) : QStringLiteral("none"), amount);
    }
    void productsOfPricesReadAsCents()
    {
        // Every quantity up to 200 times every price up to 20.00: the
        // product's noise in the last bits never reaches the cents.
        for (qint64 q = 1; q <= 200; ++q)
            for (qint64 cents = 1; cents <= 2000; ++cents) {
                const auto a = Amount::fromDouble(double(q) * (double(cents) / 100));
                if (!a || *a != Amount::fromCents(q * cents))
                    QFAIL(qPrintable(QStringLiteral("%1 x %2 cents").arg(q).arg(cents)));
            }
    }
};

QTEST_GUILESS_MAIN(VatTotalsTest)
#include "tst_vattotals.moc"
