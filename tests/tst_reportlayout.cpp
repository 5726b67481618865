// The report layout phase, without a display (fonts only measure text):
// sections, page breaks, groups and text that wraps, checked on the
// laid-out pages.

#include "reports/report.h"

#include <QTest>

using namespace velinor::reports;

namespace {

// A list report on a 10 cm high page: 1 cm margins, a 1 cm page header and
// footer, so 6 cm of body; a 1 cm report header on the first page.
ReportDefinition smallList(double detailHeight)
{
    ReportDefinition def;
    def.name = "Small";
    def.pageHeight = 10;
    def.marginTop = def.marginBottom = 1;
    def.reportHeader.height = 1;
    def.reportHeader.label(0, 0, 10, "(COMPANY NAME)");
    def.pageHeader.height = 1;
    def.pageHeader.label(0, 0, 3, "Code").frame(0, 0, 18, 1);
    def.detail.height = detailHeight;
    def.detail.field(0, 0, 3, "code");
    def.pageFooter.height = 1;
    def.pageFooter.label(0, 0.5, 3, "footer");
    return def;
}

ReportRows codes(int n)
{
    ReportRows rows;
    rows.fields = {"code"};
    for (int i = 0; i < n; ++i)
        rows.values.push_back({QString("R%1").arg(i)});
    return rows;
}

ReportData listOf(int n)
{
    ReportData data;
    data.rows = codes(n);
    return data;
}

} // namespace

class ReportLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void pagesOfAList_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<double>("detailHeight");
        QTest::addColumn<QList<int>>("perPage"); // detail lines on each page

        // First page: 5 cm after the report header; later pages 6 cm.
        QTest::newRow("no rows") << 0 << 1.0 << QList<int>{0};
        QTest::newRow("one row") << 1 << 1.0 << QList<int>{1};
        QTest::newRow("first page exactly full") << 5 << 1.0 << QList<int>{5};
        QTest::newRow("one over") << 6 << 1.0 << QList<int>{5, 1};
        QTest::newRow("three pages") << 17 << 1.0 << QList<int>{5, 6, 6};
        QTest::newRow("half lines") << 11 << 0.5 << QList<int>{10, 1};
        QTest::newRow("line taller than the rest of a page") << 3 << 2.5 << QList<int>{2, 1};
        QTest::newRow("line taller than a page body") << 2 << 7.0 << QList<int>{1, 1};
    }
    void pagesOfAList()
    {
        QFETCH(int, rows);
        QFETCH(double, detailHeight);
        QFETCH(QList<int>, perPage);

        const ReportDefinition def = smallList(detailHeight);
        const ReportDocument doc = layoutReport(def, listOf(rows));
        QCOMPARE(doc.pageCount(), perPage.size());
        QCOMPARE(doc.pageSize, QSizeF(pointsFromCm(21), pointsFromCm(10)));

        QStringList printed;
        for (int p = 0; p < doc.pageCount(); ++p) {
            QStringList texts = doc.texts(p);
            // Report header once, page header and footer on every page.
            QCOMPARE(texts.count("(COMPANY NAME)"), p == 0 ? 1 : 0);
            QCOMPARE(texts.count("Code"), 1);
            QCOMPARE(texts.last(), QString("footer"));
            const QStringList lines = texts.filter(QRegularExpression("^R\\d+$"));
            QCOMPARE(lines.size(), perPage[p]);
            printed += lines;

            // Nothing of the body runs into the footer, unless a line is
            // taller than a whole page body.
            const double footerTop = pointsFromCm(10 - 1 - 1);
            for (const ReportItem& item : doc.pages[size_t(p)].items)
                if (item.text.startsWith('R') && detailHeight <= 6)
                    QVERIFY(item.rect.top() + pointsFromCm(detailHeight) <= footerTop + 0.01);
        }
        QCOMPARE(printed, doc.pageCount() ? [&] {
            QStringList all;
            for (int i = 0; i < rows; ++i)
                all << QString("R%1").arg(i);
            return all;
        }() : QStringList());
    }

    void sectionsAtTheirPlaces()
    {
        const ReportDefinition def = smallList(1);
        const ReportDocument doc = layoutReport(def, listOf(7));
        auto find = [&](int page, const QString& text) {
            for (const ReportItem& item : doc.pages[size_t(page)].items)
                if (item.text == text)
                    return item.rect;
            return QRectF();
        };
        const double cm = pointsFromCm(1);
        // Margin 1.5 cm at the left, 1 cm at the top.
        QCOMPARE(find(0, "(COMPANY NAME)").topLeft(), QPointF(1.5 * cm, cm));
        QCOMPARE(find(0, "Code").top(), 2 * cm);
        QCOMPARE(find(0, "R0").top(), 3 * cm);
        QCOMPARE(find(1, "Code").top(), cm);
        QCOMPARE(find(1, "R5").top(), 2 * cm);
        QCOMPARE(find(1, "footer").top(), 8.5 * cm);
        // The frame of the page header, as a box the width of the body.
        const ReportItem& frame = doc.pages[1].items.at(1);
        QCOMPARE(frame.kind, ReportItem::Box);
        QCOMPARE(frame.rect, QRectF(1.5 * cm, cm, 18 * cm, cm));
    }

    void groupsAroundTheirChildren_data()
    {
        QTest::addColumn<QStringList>("parents");  // key per parent
        QTest::addColumn<QStringList>("children"); // "key:text" in child order
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("two documents")
            << QStringList{"A", "B"} << QStringList{"A:a1", "B:b1", "A:a2"}
            << QStringList{"head A", "a1 A", "a2 A", "foot A", "head B", "b1 B", "foot B"};
        QTest::newRow("document without lines")
            << QStringList{"A"} << QStringList{} << QStringList{"head A", "foot A"};
        QTest::newRow("lines of no document print nowhere")
            << QStringList{"A"} << QStringList{"Z:z1", "A:a1"}
            << QStringList{"head A", "a1 A", "foot A"};
        QTest::newRow("no document, nothing to print")
            << QStringList{} << QStringList{"A:a1"} << QStringList{};
        QTest::newRow("keys with quotes")
            << QStringList{"O'Hara"} << QStringList{"O'Hara:x"}
            << QStringList{"head O'Hara", "x O'Hara", "foot O'Hara"};
    }
    void groupsAroundTheirChildren()
    {
        QFETCH(QStringList, parents);
        QFETCH(QStringList, children);
        QFETCH(QStringList, expected);

        ReportDefinition def;
        def.pageHeader.height = 1;
        def.pageHeader.label(0, 0, 5, "TITLE");
        def.groupHeader.height = 1;
        def.groupHeader.label(0, 0, 2, "head").field(2, 0, 2, "Fatture.Numero");
        def.detail.height = 0.5;
        // Own field first, then the parent's field through a table prefix.
        def.detail.field(0, 0, 2, "Descrizione").field(2, 0, 2, "Fatture.Numero");
        def.groupFooter.height = 1;
        def.groupFooter.label(0, 0, 2, "foot").field(2, 0, 2, "numero");

        ReportData data;
        data.rows.fields = {"Numero", "Cliente"};
        for (const QString& p : parents)
            data.rows.values.push_back({p, "c"});
        data.children.fields = {"Numero Fattura", "Descrizione"};
        for (const QString& c : children)
            data.children.values.push_back({c.section(':', 0, 0), c.section(':', 1)});
        data.parentKey = "Numero";
        data.childKey = "Numero Fattura";

        const ReportDocument doc = layoutReport(def, data);
        QCOMPARE(doc.pageCount(), 1);
        QStringList texts = doc.texts(0);
        QCOMPARE(texts.takeFirst(), QString("TITLE"));
        // Pair each label or description with the key printed beside it.
        QStringList lines;
        for (int i = 0; i + 1 < texts.size(); i += 2)
            lines << texts[i] + ' ' + texts[i + 1];
        QCOMPARE(lines, expected);
    }

    void groupsBreakPagesWithTheirHeader()
    {
        // Body of 6 cm per page; group header 2 cm, lines 1 cm, footer 1 cm.
        ReportDefinition def = smallList(1);
        def.reportHeader = {};
        def.groupHeader.height = 2;
        def.groupHeader.field(0, 0, 2, "doc");
        def.groupFooter.height = 1;
        def.groupFooter.label(0, 0, 2, "end");
        def.detail = {};
        def.detail.height = 1;
        def.detail.field(0, 0, 3, "code");

        ReportData data;
        data.rows.fields = {"doc"};
        data.rows.values = {{"D1"}, {"D2"}};
        data.children.fields = {"doc", "code"};
        for (int i = 0; i < 4; ++i)
            data.children.values.push_back({"D1", QString("R%1").arg(i)});
        data.children.values.push_back({"D2", "R9"});
        data.parentKey = data.childKey = "doc";

        const ReportDocument doc = layoutReport(def, data);
        // D1 (2) + R0..R3 (4) fill page 1; the footer and D2 go on page 2,
        // where D2's header stays with its line.
        QCOMPARE(doc.pageCount(), 2);
        QCOMPARE(doc.texts(0), (QStringList{"Code", "D1", "R0", "R1", "R2", "R3", "footer"}));
        QCOMPARE(doc.texts(1), (QStringList{"Code", "end", "D2", "R9", "end", "footer"}));

        // A header that would fit alone but not with its first line moves.
        data.children.values = {{"D1", "R0"}, {"D1", "R1"}, {"D1", "R2"}, {"D2", "R9"}};
        data.rows.values = {{"D1"}, {"D2"}};
        // D1 2 + 3 lines + footer 1 = 6: D2's header would fit nowhere else.
        const ReportDocument moved = layoutReport(def, data);
        QCOMPARE(moved.pageCount(), 2);
        QCOMPARE(moved.texts(1), (QStringList{"Code", "D2", "R9", "end", "footer"}));
    }

    // Text wider than its cell wraps inside it, every character kept; the
    // row grows, its frames with it, and what follows moves down. Numbers
    // never wrap.
    void longTextWrapsAndRowsGrow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("lines");
        QTest::newRow("fits") << "Rossi" << 1;
        QTest::newRow("two words a line") << "Edilcasa Bergamasca S.n.c. di Locatelli & C." << 3;
        QTest::newRow("own line breaks") << "Via Roma 1\n20100 Milano" << 2;
        QTest::newRow("a word wider than the cell") << "Trapanoavvitatorea18Vcondue" << 2;
    }
    void longTextWrapsAndRowsGrow()
    {
        QFETCH(QString, name);
        QFETCH(int, lines);
        name.replace("\\n", "\n");
        ReportDefinition def;
        def.fonts = {{"Arial", 9}};
        def.detail.height = 0.5;
        def.detail.frame(0, 0, 3, 0.5).field(0, 0, 3, "name").frame(3, 0, 2, 0.5)
            .field(3, 0, 2, "total", 0, FieldFormat::Number, Qt::AlignRight);
        def.reportFooter.height = 1;
        def.reportFooter.label(0, 0, 3, "end");
        ReportData data;
        data.rows.fields = {"name", "total"};
        data.rows.values = {{name, 123456789012.5}, {"next", 1.0}};

        const ReportDocument doc = layoutReport(def, data);
        const std::vector<ReportItem>& items = doc.pages.at(0).items;
        QStringList parts;
        QList<double> tops, boxHeights;
        double nextTop = 0, endTop = 0;
        QStringList numbers;
        for (const ReportItem& item : items) {
            if (item.kind == ReportItem::Box && boxHeights.size() < 2)
                boxHeights << item.rect.height();
            if (item.kind != ReportItem::Text)
                continue;
            if (item.text == "next")
                nextTop = item.rect.top();
            else if (item.text == "end")
                endTop = item.rect.top();
            else if (item.rect.left() > pointsFromCm(4))
                numbers << (item.shrink ? item.text : "not to shrink");
            else {
                parts << item.text;
                tops << item.rect.top();
                QVERIFY(item.rect.width() <= pointsFromCm(3) + 0.01);
            }
        }
        QCOMPARE(parts.size(), lines);
        QCOMPARE(parts.join(name.contains('\n') ? "\n" : name.contains(' ') ? " " : ""), name);
        QCOMPARE(numbers, (QStringList{formatValue(123456789012.5, FieldFormat::Number), "1"}));
        const double rowHeight = nextTop - pointsFromCm(1.5); // the top margin
        QCOMPARE(boxHeights.size(), 2);
        QCOMPARE(boxHeights[0], boxHeights[1]);
        QVERIFY(qAbs(boxHeights[0] - rowHeight) < 0.01);
        if (lines == 1)
            QVERIFY(qAbs(rowHeight - pointsFromCm(0.5)) < 0.01);
        else
            QVERIFY(rowHeight >= tops.last() - tops.first() + pointsFromCm(0.3));
        QVERIFY(qAbs(endTop - nextTop - pointsFromCm(0.5)) < 0.01);
    }

    // Below a grown element things move as far as they must, not further:
    // a caption beside its value goes with it, room left below absorbs it.
    void growthMovesOnlyWhatItMust()
    {
        ReportDefinition def;
        def.groupHeader.height = 3;
        def.groupHeader.label(0, 0, 2, "Cliente").field(2, 0, 2, "name")
            .label(0, 0.5, 2, "Città").field(2, 0.5, 2, "town")
            .rule(0, 2.5, 4);
        def.groupFooter.height = 0.5;
        def.groupFooter.pageNumber(0, 0, 4, "Pagina %1 di %2");
        ReportData data;
        data.rows.fields = {"key", "name", "town"};
        data.rows.values = {{"A", "Ragione sociale lunga su tre righe di testo", "Bergamo"}};
        data.children.fields = {"key"};
        data.parentKey = data.childKey = "key";

        const ReportDocument doc = layoutReport(def, data);
        auto top = [&](const QString& text) {
            for (const ReportItem& item : doc.pages[0].items)
                if (item.text == text)
                    return item.rect.top() - pointsFromCm(1.5);
            return -1.0;
        };
        QVERIFY(top("Città") > pointsFromCm(0.5));
        QCOMPARE(top("Città"), top("Bergamo"));
        QCOMPARE(top("Cliente"), 0.0);
        const ReportItem& rule = *std::find_if(doc.pages[0].items.begin(), doc.pages[0].items.end(),
                                               [](const ReportItem& i) { return i.kind == ReportItem::Line; });
        QCOMPARE(rule.rect.top() - pointsFromCm(1.5), pointsFromCm(2.5));
        QCOMPARE(top("Pagina 1 di 1"), pointsFromCm(3));
    }

    void pageNumbersCountAllPages()
    {
        ReportDefinition def = smallList(1);
        def.pageFooter.pageNumber(5, 0, 4, "Pagina %1 di %2");
        const ReportDocument doc = layoutReport(def, listOf(17));
        QCOMPARE(doc.pageCount(), 3);
        for (int p = 0; p < 3; ++p)
            QCOMPARE(doc.texts(p).filter("Pagina"), QStringList{QString("Pagina %1 di 3").arg(p + 1)});
    }

    void distinctRowsPrintOnce()
    {
        ReportRows rows;
        rows.fields = {"Descrizione", "Quantità", "Prezzo"};
        rows.values = {{"Vite", 2.0, 1.5},  {"Vite", 2.0, 1.5}, {"Vite", 2.0, 1.25},
                       {"Vite", "2", 1.5},  {"", 2.0, 1.5},     {QVariant(), 2.0, 1.5},
                       {"Vite", 2.0, 1.5}};
        rows.removeDuplicates();
        QCOMPARE(rows.size(), 5);
        QCOMPARE(rows.values[1], (QVariantList{"Vite", 2.0, 1.25}));
        QCOMPARE(rows.values[2], (QVariantList{"Vite", "2", 1.5}));
        QCOMPARE(rows.values[3], (QVariantList{"", 2.0, 1.5}));
        QCOMPARE(rows.values[4], (QVariantList{QVariant(), 2.0, 1.5}));
    }

    void valuesInTheLocale_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("italian");
        QTest::addColumn<QString>("english");

        const int autoF = int(FieldFormat::Auto), number = int(FieldFormat::Number),
                  date = int(FieldFormat::Date), text = int(FieldFormat::Text);
        QTest::newRow("real") << QVariant(1234.5) << autoF << "1234,5" << "1234.5";
        QTest::newRow("whole") << QVariant(qlonglong(20)) << autoF << "20" << "20";
        QTest::newRow("no rounding to cents") << QVariant(0.1 + 0.2) << autoF << "0,3" << "0.3";
        QTest::newRow("null") << QVariant() << number << "" << "";
        QTest::newRow("number as text") << QVariant("1234,5") << number << "1234,5" << "1234,5";
        QTest::newRow("not a number") << QVariant("n.d.") << number << "n.d." << "n.d.";
        QTest::newRow("date") << QVariant(QDate(2024, 3, 7)) << autoF << "07/03/2024" << "3/7/2024";
        QTest::newRow("iso date text") << QVariant("2024-03-07") << date << "07/03/2024" << "3/7/2024";
        QTest::newRow("text kept") << QVariant("d'Amico") << text << "d'Amico" << "d'Amico";
        const int money = int(FieldFormat::Money);
        QTest::newRow("money, two decimals at least") << QVariant(10.5) << money << "10,50" << "10.50";
        QTest::newRow("money, whole") << QVariant(qlonglong(100)) << money << "100,00" << "100.00";
        QTest::newRow("money, more when it has them") << QVariant(0.045) << money << "0,045" << "0.045";
        QTest::newRow("money, negative") << QVariant(-3.1) << money << "-3,10" << "-3.10";
    }
    void valuesInTheLocale()
    {
        QFETCH(QVariant, value);
        QFETCH(int, format);
        QFETCH(QString, italian);
        QFETCH(QString, english);
        QCOMPARE(formatValue(value, FieldFormat(format), QLocale(QLocale::Italian, QLocale::Italy)), italian);
        if (QTest::currentDataTag() != QLatin1String("number as text"))
            QCOMPARE(formatValue(value, FieldFormat(format), QLocale(QLocale::English, QLocale::UnitedStates)),
                     english);
    }
};

QTEST_MAIN(ReportLayoutTest)
#include "tst_reportlayout.moc"
