// Laid-out pages painted on a PDF writer and read back as text.

#include "reports/reportpaint.h"
#include "tests/support.h"

#include <QPdfWriter>
#include <QTemporaryDir>

using namespace velinor::reports;

class ReportPaintTest : public QObject {
    Q_OBJECT

private slots:
    void textIsTextAndColumnsStay()
    {
        ReportDefinition def;
        def.fonts = {{"Arial", 10}, {"Verdana", 14, true}};
        def.reportHeader.height = 1;
        def.reportHeader.label(0, 0, 10, "(COMPANY NAME)", 1);
        def.pageHeader.height = 1;
        def.pageHeader.label(0, 0, 3, "Code").label(3, 0, 4, "Total", 0, Qt::AlignRight).frame(0, 0, 18, 1);
        def.detail.height = 0.5;
        // The name column is 3 cm wide: a long name wraps there, the total
        // keeps its place.
        def.detail.field(0, 0, 3, "name").field(3, 0, 4, "total", 0, FieldFormat::Auto, Qt::AlignRight);
        def.pageFooter.height = 1;
        def.pageFooter.label(0, 0, 5, "Velinor");

        ReportData data;
        data.rows.fields = {"name", "total"};
        for (int i = 0; i < 120; ++i)
            data.rows.values.push_back({QString("Cliente %1").arg(i), 10.5 + i});
        data.rows.values.push_back({"Ragione sociale molto lunga che non entra", 7.25});

        const ReportDocument doc = layoutReport(def, data, QLocale(QLocale::Italian, QLocale::Italy));
        QTemporaryDir dir;
        const QString path = dir.filePath("report.pdf");
        {
            QPdfWriter writer(path);
            writer.setResolution(600);
            QVERIFY(paintReport(&writer, doc));
        }
        const QStringList pages = velinor::test::pdfPages(path);
        QCOMPARE(pages.size(), doc.pageCount());
        QVERIFY(doc.pageCount() >= 3);
        QVERIFY(pages[0].contains("(COMPANY NAME)"));
        for (const QString& page : pages) {
            QVERIFY(page.contains("Code"));
            QVERIFY(page.contains("Velinor"));
        }
        QVERIFY(pages[0].contains(QRegularExpression("Cliente 0\\s+10,5\\n")));
        QVERIFY(pages.last().contains(QRegularExpression("Cliente 119\\s+129,5\\n")));
        // Wrapped in its column, every word, and the total stays in its own.
        const QString last = pages.last().section("Cliente 119", 1).section('\n', 1);
        QVERIFY2(last.contains(QRegularExpression("^\\s*Ragione sociale\\s+7,25\\n\\s*molto lunga che\\n\\s*non entra\\n")),
                 qPrintable(last));
    }
};

QTEST_MAIN(ReportPaintTest)
#include "tst_reportpaint.moc"
