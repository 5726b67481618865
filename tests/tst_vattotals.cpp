// The totals by VAT rate that the document screens, the printed documents
// and the electronic invoice share: taxable amounts summed per rate and
// rounded half up to the cent, the tax per rate rounded the same way.

#include "common/numbertext.h"
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
};

QTEST_GUILESS_MAIN(VatTotalsTest)
#include "tst_vattotals.moc"
