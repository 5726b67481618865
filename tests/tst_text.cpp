// Number and date text under a decimal-point and a decimal-comma locale, and
// the database's val().

#include "common/numbertext.h"
#include "data/datasource.h"
#include "tests/support.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

using namespace velinor;
using namespace velinor::test;

namespace {

QLocale localeNamed(const QString& name)
{
    if (name == "us")
        return QLocale(QLocale::English, QLocale::UnitedStates);
    if (name == "it")
        return QLocale(QLocale::Italian, QLocale::Italy);
    if (name == "fr")
        return QLocale(QLocale::French, QLocale::France);
    if (name == "C")
        return QLocale::c();
    qFatal("unknown locale %s", qPrintable(name));
}

} // namespace

class TextTest : public QObject {
    Q_OBJECT

private slots:
    void formatNumber_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        for (const char* l : {"us", "it"}) {
            const bool it = QString(l) == "it";
            auto row = [&](const char* name, double v, const char* us, const char* itText) {
                QTest::addRow("%s %s", l, name) << QString(l) << v << QString(it ? itText : us);
            };
            row("whole", 42.0, "42", "42");
            row("no grouping", 1234567.5, "1234567.5", "1234567,5");
            row("0.1+0.2", 0.1 + 0.2, "0.3", "0,3");
            row("negative", -2.25, "-2.25", "-2,25");
            row("negative zero", -0.0, "0", "0");
            row("zero", 0.0, "0", "0");
            row("15 digits", 123456789.012345, "123456789.012345", "123456789,012345");
            row("16th digit rounded", 1.0000000000000002, "1", "1");
            row("third", 1.0 / 3.0, "0.333333333333333", "0,333333333333333");
            row("price times quantity", 3.2 * 3.0, "9.6", "9,6");
            row("small", 0.000123, "0.000123", "0,000123");
            row("large whole", 999999999999999.0, "999999999999999", "999999999999999");
        }
    }
    void formatNumber()
    {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(velinor::formatNumber(value, localeNamed(locale)), text);
    }

    // What is shown reads back as the same number, to the 15 digits kept.
    void formatThenParseRoundTrips()
    {
        for (const char* l : {"us", "it"}) {
            const QLocale locale = localeNamed(l);
            for (double v : {0.1 + 0.2, 1234567.5, -2.25, 1.0 / 3.0, 19.99 * 7, 1e-7, 6.02e23}) {
                const QString shown = velinor::formatNumber(v, locale);
                const auto back = velinor::parseNumber(shown, locale);
                QVERIFY2(back.has_value(), qPrintable(QString("%1 %2").arg(l, shown)));
                QVERIFY2(std::abs(*back - v) <= std::abs(v) * 1e-14,
                         qPrintable(QString("%1 %2").arg(l, shown)));
                QCOMPARE(velinor::formatNumber(*back, locale), shown);
            }
        }
    }

    void parseNumber_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("us point") << "us" << "5.5" << true << 5.5;
        QTest::newRow("us spaces around") << "us" << "  5.5 " << true << 5.5;
        QTest::newRow("us negative") << "us" << "-3" << true << -3.0;
        QTest::newRow("us grouped") << "us" << "1,234.5" << true << 1234.5;
        QTest::newRow("us grouped millions") << "us" << "-12,345,678" << true << -12345678.0;
        QTest::newRow("us group of two") << "us" << "1,23" << false << 0.0;
        QTest::newRow("us group of four") << "us" << "1,2345" << false << 0.0;
        QTest::newRow("us first group of four") << "us" << "1234,567" << false << 0.0;
        QTest::newRow("us group in the decimals") << "us" << "1.234,567" << false << 0.0;
        QTest::newRow("us group at the start") << "us" << ",123" << false << 0.0;
        QTest::newRow("us group at the end") << "us" << "123," << false << 0.0;
        QTest::newRow("us comma") << "us" << "1,5" << false << 0.0;
        QTest::newRow("us letters") << "us" << "abc" << false << 0.0;
        QTest::newRow("us trailing letters") << "us" << "12abc" << false << 0.0;
        QTest::newRow("us empty") << "us" << "" << false << 0.0;
        QTest::newRow("us blank") << "us" << "   " << false << 0.0;
        QTest::newRow("us inner space") << "us" << "1 000" << false << 0.0;
        QTest::newRow("us infinity") << "us" << "inf" << false << 0.0;
        QTest::newRow("us nan") << "us" << "nan" << false << 0.0;
        QTest::newRow("us overflow") << "us" << "1e400" << false << 0.0;
        QTest::newRow("it comma") << "it" << "5,5" << true << 5.5;
        QTest::newRow("it spaces around") << "it" << "  5,5 " << true << 5.5;
        QTest::newRow("it whole") << "it" << "22" << true << 22.0;
        QTest::newRow("it grouped") << "it" << "1.234,56" << true << 1234.56;
        QTest::newRow("it grouped whole") << "it" << "1.234" << true << 1234.0;
        QTest::newRow("it grouped millions") << "it" << "1.234.567,8" << true << 1234567.8;
        QTest::newRow("it grouped negative") << "it" << "-1.234,5" << true << -1234.5;
        // A point under Italian is a group separator: never a decimal point.
        QTest::newRow("it point") << "it" << "1.5" << false << 0.0;
        QTest::newRow("it group of two") << "it" << "12.34" << false << 0.0;
        QTest::newRow("it one group short") << "it" << "1.234.56" << false << 0.0;
        QTest::newRow("it two separators") << "it" << "1..234" << false << 0.0;
        QTest::newRow("it group after the comma") << "it" << "1,234.567" << false << 0.0;
        QTest::newRow("fr space grouped") << "fr" << "1 234,5" << true << 1234.5;
        QTest::newRow("fr narrow space grouped") << "fr" << "1\u202f234,5" << true << 1234.5;
        QTest::newRow("fr space misplaced") << "fr" << "12 34" << false << 0.0;
        QTest::newRow("it letters") << "it" << "abc" << false << 0.0;
        QTest::newRow("it empty") << "it" << "" << false << 0.0;
    }
    void parseNumber()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        const auto number = velinor::parseNumber(text, localeNamed(locale));
        QCOMPARE(number.has_value(), ok);
        if (ok)
            QCOMPARE(*number, value);
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("it comma") << "it" << "5,5" << 5.5;
        QTest::newRow("it point stops") << "it" << "5.5" << 5.0;
        QTest::newRow("us point") << "us" << "5.5" << 5.5;
        QTest::newRow("us comma stops") << "us" << "5,5" << 5.0;
        QTest::newRow("it grouped") << "it" << "1.234,5" << 1234.5;
        for (const char* l : {"us", "it"}) {
            auto row = [&](const char* name, const char* text, double v) {
                QTest::addRow("%s %s", l, name) << QString(l) << QString(text) << v;
            };
            row("trailing letters", "12abc", 12);
            row("empty", "", 0);
            row("letters", "abc", 0);
            row("negative", "-3", -3);
            row("plus", "+4", 4);
            row("spaces ignored", " 1 2", 12);
            row("leading spaces", "   7", 7);
            row("sign alone", "-", 0);
            row("sign inside", "5-3", 5);
            row("double sign", "--5", 0);
            row("exponent", "1e2", 100);
            row("dangling exponent", "12e", 12);
            row("letter first", "x12", 0);
        }
    }
    void leadingNumber()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(velinor::leadingNumber(text, localeNamed(locale)), value);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("text");
        QTest::newRow("us") << "us" << QDate(2024, 3, 5) << "3/5/2024";
        QTest::newRow("us end of year") << "us" << QDate(1999, 12, 31) << "12/31/1999";
        QTest::newRow("it") << "it" << QDate(2024, 3, 5) << "05/03/2024";
        QTest::newRow("it end of year") << "it" << QDate(1999, 12, 31) << "31/12/1999";
        QTest::newRow("it leap day") << "it" << QDate(2024, 2, 29) << "29/02/2024";
    }
    void dates()
    {
        QFETCH(QString, locale);
        QFETCH(QDate, date);
        QFETCH(QString, text);
        const QLocale l = localeNamed(locale);
        QVERIFY(dateFormat(l).contains("yyyy"));
        QCOMPARE(formatDate(date, l), text);
        QCOMPARE(velinor::parseDate(text, l), std::optional<QDate>(date));
        QCOMPARE(velinor::parseDate(" " + text + " ", l), std::optional<QDate>(date));
        QCOMPARE(velinor::parseDate(date.toString(Qt::ISODate), l), std::optional<QDate>(date));
        QCOMPARE(formatDate(QDate(), l), QString());
    }

    void parseDate_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date"); // invalid: refused
        QTest::newRow("it two-digit year, this century") << "it" << "05/03/24" << QDate(2024, 3, 5);
        QTest::newRow("it two-digit year, last century") << "it" << "05/03/85" << QDate(1985, 3, 5);
        QTest::newRow("it window start") << "it" << "01/01/30" << QDate(1930, 1, 1);
        QTest::newRow("it two-digit year, a year ahead") << "it" << "9/12/27" << QDate(2027, 12, 9);
        QTest::newRow("it two-digit year, more than a year ahead") << "it" << "31/12/29"
                                                                   << QDate(1929, 12, 31);
        QTest::newRow("it d/m/yy") << "it" << "1/12/26" << QDate(2026, 12, 1);
        QTest::newRow("it d/m/yyyy") << "it" << "1/12/2026" << QDate(2026, 12, 1);
        QTest::newRow("it dd-mm-yyyy") << "it" << "01-12-2026" << QDate(2026, 12, 1);
        QTest::newRow("it dd.mm.yyyy") << "it" << "01.12.2026" << QDate(2026, 12, 1);
        QTest::newRow("it d.m.yy") << "it" << "3.4.25" << QDate(2025, 4, 3);
        QTest::newRow("it ISO") << "it" << "2026-12-01" << QDate(2026, 12, 1);
        QTest::newRow("it three-digit year") << "it" << "1/12/202" << QDate();
        QTest::newRow("it no month 13") << "it" << "1/13/26" << QDate();
        QTest::newRow("C d/m/yy") << "C" << "1/12/26" << QDate(2026, 12, 1);
        QTest::newRow("C dd.mm.yyyy") << "C" << "01.12.2026" << QDate(2026, 12, 1);
        QTest::newRow("C month first") << "C" << "12/31/2026" << QDate();
        QTest::newRow("us m/d/yy") << "us" << "12/1/26" << QDate(2026, 12, 1);
        QTest::newRow("us two-digit year") << "us" << "3/5/24" << QDate(2024, 3, 5);
        QTest::newRow("it no such day") << "it" << "31/02/2024" << QDate();
        QTest::newRow("it month first") << "it" << "12/31/2024" << QDate();
        QTest::newRow("us day first") << "us" << "31/12/2024" << QDate();
        QTest::newRow("it words") << "it" << "domani" << QDate();
        QTest::newRow("it empty") << "it" << "" << QDate();
        QTest::newRow("it number") << "it" << "45000" << QDate();
    }
    void parseDate()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QDate, date);
        // Two-digit years count from a fixed day, so that the rows hold every year.
        const auto parsed = velinor::parseDate(text, localeNamed(locale), QDate(2026, 12, 9));
        if (!date.isValid())
            QVERIFY2(!parsed, qPrintable(parsed ? parsed->toString(Qt::ISODate) : QString()));
        else
            QCOMPARE(parsed, std::optional<QDate>(date));
    }

    // The expected form of a date, in words the user reads, in the locale's
    // order; a refused date says it so.
    void dateFormatInWords_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("words");
        QTest::newRow("it") << "it" << "gg/mm/aaaa";
        QTest::newRow("us") << "us" << "mm/dd/yyyy";
        QTest::newRow("C") << "C" << "dd/mm/yyyy";
    }
    void dateFormatInWords()
    {
        QFETCH(QString, locale);
        QFETCH(QString, words);
        QCOMPARE(velinor::dateFormatInWords(localeNamed(locale)), words);
        const QLocale before;
        QLocale::setDefault(localeNamed(locale));
        TempDatabase db;
        db.exec("INSERT INTO Fatture (\"Order Code\", Date) VALUES (1, '2026-12-01')");
        DataSource source;
        source.setSource("SELECT * FROM Fatture");
        QString refusal;
        try {
            source.setValue("Date", "31/31/26");
            source.update();
        } catch (const DbError& e) {
            refusal = e.text();
        }
        source.setValue("Date", locale == "us" ? "12/2/26" : "2/12/26");
        source.update();
        QLocale::setDefault(before);
        QVERIFY2(refusal.contains("written as " + words), qPrintable(refusal));
        QCOMPARE(db.scalar("SELECT Date FROM Fatture").toString(), QString("2026-12-02"));
    }

    void sqlVal_data()
    {
        QTest::addColumn<QVariant>("argument");
        QTest::addColumn<QVariant>("result"); // null: SQL NULL
        QTest::newRow("whole") << QVariant("12") << QVariant(12.0);
        QTest::newRow("trailing letters") << QVariant("12abc") << QVariant(12.0);
        QTest::newRow("leading spaces") << QVariant("  7") << QVariant(7.0);
        QTest::newRow("inner spaces") << QVariant(" 1 2") << QVariant(12.0);
        QTest::newRow("empty") << QVariant("") << QVariant(0.0);
        QTest::newRow("letters") << QVariant("abc") << QVariant(0.0);
        QTest::newRow("null") << QVariant() << QVariant();
        QTest::newRow("decimal point") << QVariant("3.5") << QVariant(3.5);
        // The database reads the way SQL does, whatever the user's locale.
        QTest::newRow("decimal comma stops") << QVariant("3,5") << QVariant(3.0);
        QTest::newRow("exponent") << QVariant("1e2") << QVariant(100.0);
        QTest::newRow("negative") << QVariant("-4") << QVariant(-4.0);
        QTest::newRow("integer") << QVariant(qlonglong(9)) << QVariant(9.0);
        QTest::newRow("real") << QVariant(2.5) << QVariant(2.5);
        QTest::newRow("accented text") << QVariant("Quantità 3") << QVariant(0.0);
    }
    void sqlVal()
    {
        QFETCH(QVariant, argument);
        QFETCH(QVariant, result);
        TempDatabase db;
        // Under an Italian default locale too: val() must not follow it.
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        const QVariant got = db.scalar("SELECT val(?)", {argument});
        QLocale::setDefault(QLocale::c());
        if (result.isNull()) {
            QVERIFY2(got.isNull(), qPrintable(got.toString()));
        } else {
            QVERIFY2(!got.isNull(), "val() gave NULL");
            QCOMPARE(got.toDouble(), result.toDouble());
        }
    }

    void sqlValOnAColumn()
    {
        TempDatabase db;
        db.exec("INSERT INTO Ydummy (\"Numero Ordine\") VALUES ('15 bis')");
        QCOMPARE(db.scalar("SELECT sum(val([Numero Ordine])) FROM Ydummy").toDouble(), 15.0);
    }

    // The lines of a picked invoice: the number arrives as text.
    void invoiceLinesByNumber_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("lines");
        QTest::newRow("exact") << "12" << 2;
        QTest::newRow("spaces") << " 12 " << 2;
        QTest::newRow("with point zero") << "12.0" << 2;
        QTest::newRow("other") << "7" << 1;
        QTest::newRow("none") << "99" << 0;
        QTest::newRow("quote") << "12' OR '1'='1" << 2;
        QTest::newRow("empty matches no numbered line") << "" << 0;
    }
    void invoiceLinesByNumber()
    {
        QFETCH(QString, number);
        QFETCH(int, lines);
        TempDatabase db;
        db.exec("INSERT INTO DettaglioFatture ([Descrizione Articolo], [Numero Fattura]) VALUES "
                "('a', 12), ('b', 12), ('c', 7), ('order line', NULL)");
        QCOMPARE(db.scalar("SELECT count(*) FROM DettaglioFatture WHERE [Numero Fattura] = val(?)",
                           {number})
                     .toInt(),
                 lines);
    }
};

QTEST_MAIN(TextTest)
#include "tst_text.moc"
