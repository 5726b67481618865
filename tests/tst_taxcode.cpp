#include "common/taxcode.h"

#include <QTest>

using namespace velinor::taxcode;

// Codes below are made up and their check characters worked out by hand;
// none belongs to a real person or company.
class TstTaxCode : public QObject {
    Q_OBJECT
private slots:
    void partitaIva_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("ok");
        QTest::newRow("valid") << "12345678903" << true;
        QTest::newRow("spaces around") << "  12345678903 " << true;
        QTest::newRow("empty is not a problem") << "" << true;
        QTest::newRow("check digit off by one") << "12345678904" << false;
        QTest::newRow("two digits swapped") << "21345678903" << false;
        QTest::newRow("ten digits") << "1234567890" << false;
        QTest::newRow("letter inside") << "1234567890A" << false;
        QTest::newRow("country prefix") << "IT12345678903" << false;
    }
    void partitaIva()
    {
        QFETCH(QString, value);
        QFETCH(bool, ok);
        QCOMPARE(partitaIvaProblem(value).isEmpty(), ok);
    }

    void codiceFiscale_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("ok");
        QTest::newRow("person") << "VLNTST85M41F205E" << true;
        QTest::newRow("lower case") << "vlntst85m41f205e" << true;
        QTest::newRow("foreign birth") << "BNCGLI90A01Z404X" << true;
        QTest::newRow("omocodia last digit") << "VLNTST85M41F20RZ" << true;
        QTest::newRow("omocodia everywhere") << "VLNTSTURMQMF2LRX" << true;
        QTest::newRow("company, 11 digits") << "12345678903" << true;
        QTest::newRow("wrong check letter") << "VLNTST85M41F205F" << false;
        QTest::newRow("mistyped digit") << "VLNTST86M41F205E" << false;
        QTest::newRow("no such month") << "VLNTST85F41F205E" << false;
        QTest::newRow("day 32") << "VLNTST85M32F205E" << false;
        QTest::newRow("omocodia letter not allowed") << "VLNTST8KM41F205E" << false;
        QTest::newRow("15 characters") << "VLNTST85M41F205" << false;
        QTest::newRow("company, wrong check") << "12345678904" << false;
    }
    void codiceFiscale()
    {
        QFETCH(QString, value);
        QFETCH(bool, ok);
        QCOMPARE(codiceFiscaleProblem(value).isEmpty(), ok);
    }

    void einvoicing_data()
    {
        QTest::addColumn<bool>("pec");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("ok");
        QTest::newRow("code of 7") << false << "ABC1234" << true;
        QTest::newRow("public body, 6") << false << "UF1234" << true;
        QTest::newRow("code of 8") << false << "ABC12345" << false;
        QTest::newRow("code with dash") << false << "ABC-123" << false;
        QTest::newRow("pec") << true << "fatture@pec.esempio.it" << true;
        QTest::newRow("pec without domain") << true << "fatture@pec" << false;
        QTest::newRow("pec with space") << true << "fat ture@pec.it" << false;
        QTest::newRow("pec twice @") << true << "a@b@pec.it" << false;
    }
    void einvoicing()
    {
        QFETCH(bool, pec);
        QFETCH(QString, value);
        QFETCH(bool, ok);
        const QString problem = pec ? pecProblem(value) : codiceDestinatarioProblem(value);
        QCOMPARE(problem.isEmpty(), ok);
    }
};

QTEST_GUILESS_MAIN(TstTaxCode)
#include "tst_taxcode.moc"
