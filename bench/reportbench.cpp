// velinor-bench-report: 10,000 customers laid out by the customer list's
// definition and painted to a PDF, beside a bare loop that draws the same
// texts with QPainter on the same kind of PDF device.

#include "data/database.h"
#include "data/datasource.h"
#include "data/schema.h"
#include "reports/listreport.h"
#include "reports/reportpaint.h"
#include "reports/reportwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <random>

using namespace velinor;
using namespace velinor::reports;

namespace {

constexpr int rowCount = 10000;
constexpr int runs = 3;
constexpr int resolution = 1200;

void fillCustomers(Database& db)
{
    static const char* const names[] = {"Rossi", "Bianchi", "Ferrari", "Esposito", "Romano", "Colombo",
                                        "Ricci", "Marino", "Greco", "Bruno", "Gallo", "Conti", "De Luca",
                                        "Mancini", "Costa", "Giordano", "Rizzo", "Lombardi", "Moretti"};
    static const char* const kinds[] = {"Ferramenta", "Colori", "Edilizia", "Impianti", "Giardini",
                                        "Casalinghi"};
    static const char* const streets[] = {"Via Roma", "Corso Italia", "Via Garibaldi", "Piazza Duomo",
                                          "Viale Mazzini", "Via dell'Industria"};
    std::mt19937 random(8);
    auto pick = [&random](const auto& list) { return list[random() % std::size(list)]; };
    Transaction tx(db);
    Statement insert(db, QStringLiteral("INSERT INTO Customers (\"Customer Code\", Cliente, Indirizzo, "
                                        "NumeroTelefonico) VALUES (?, ?, ?, ?)"));
    for (int i = 0; i < rowCount; ++i) {
        insert.bindAll({QStringLiteral("CUS%1%2").arg(random() % 999999).arg(QChar(char16_t(u'A' + random() % 26))),
                     QStringLiteral("%1 %2 %3").arg(QLatin1String(pick(kinds)), QLatin1String(pick(names))).arg(i),
                     QStringLiteral("%1 %2").arg(QLatin1String(pick(streets))).arg(random() % 200 + 1),
                     QStringLiteral("0%1 %2").arg(random() % 900 + 100).arg(random() % 9000000 + 1000000)});
        insert.step();
        insert.reset();
    }
    tx.commit();
}

// The same texts, fonts and pages with QPainter alone.
void bareLoop(const ReportDocument& doc, const QString& path)
{
    QPdfWriter writer(path);
    writer.setResolution(resolution);
    writer.setPageLayout(QPageLayout(QPageSize(doc.pageSize, QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
    std::vector<QFont> fonts;
    for (const ReportFont& f : doc.fonts) {
        QFont font(f.family);
        font.setPointSizeF(f.pointSize);
        font.setBold(f.bold);
        fonts.push_back(font);
    }
    const double scale = resolution / 72.0;
    QPainter painter(&writer);
    for (int p = 0; p < doc.pageCount(); ++p) {
        if (p > 0)
            writer.newPage();
        int current = -1;
        for (const ReportItem& item : doc.pages[size_t(p)].items) {
            if (item.kind != ReportItem::Text)
                continue;
            if (item.font != current) {
                painter.setFont(fonts[item.font]);
                current = item.font;
            }
            painter.drawText(QPointF(item.rect.left() * scale, item.rect.bottom() * scale), item.text);
        }
    }
}

template <class F> double bestOf(F work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString dbPath = dir.filePath(QStringLiteral("db1.mdb"));
    createDatabaseFile(dbPath, false);
    auto db = std::make_shared<Database>(dbPath);
    fillCustomers(*db);

    DataSource source(db);
    QElapsedTimer t;
    t.start();
    source.setSource(QStringLiteral("SELECT * FROM Customers ORDER BY Cliente"));
    const double readMs = t.nsecsElapsed() / 1e6;

    const ReportDefinition definition = listReport(QStringLiteral("DataReport4"));
    ReportData data;
    const double rowsMs = bestOf([&] { data.rows = rowsOf(source); });
    ReportDocument doc;
    const double layoutMs = bestOf([&] { doc = layoutReport(definition, data); });

    const QString reportPdf = dir.filePath(QStringLiteral("report.pdf"));
    const QString barePdf = dir.filePath(QStringLiteral("bare.pdf"));
    const double paintMs = bestOf([&] {
        QPdfWriter writer(reportPdf);
        writer.setResolution(resolution);
        paintReport(&writer, doc);
    });
    const double bareMs = bestOf([&] { bareLoop(doc, barePdf); });

    // The window: the preview paints every page when it is first shown.
    t.restart();
    ReportWindow* window = ReportWindow::open(doc);
    QCoreApplication::processEvents();
    const double windowMs = t.nsecsElapsed() / 1e6;
    window->close();

    out << QStringLiteral("rows:                 %1\n").arg(data.rows.size());
    out << QStringLiteral("pages:                %1\n").arg(doc.pageCount());
    out << QStringLiteral("source read:          %1 ms (not part of the report)\n").arg(readMs, 0, 'f', 1);
    out << QStringLiteral("rows from the source: %1 ms\n").arg(rowsMs, 0, 'f', 1);
    out << QStringLiteral("layout:               %1 ms (target < 100)\n").arg(layoutMs, 0, 'f', 1);
    out << QStringLiteral("paint to PDF:         %1 ms, %2 KiB\n").arg(paintMs, 0, 'f', 1).arg(QFileInfo(reportPdf).size() / 1024);
    out << QStringLiteral("bare QPainter loop:   %1 ms, %2 KiB\n").arg(bareMs, 0, 'f', 1).arg(QFileInfo(barePdf).size() / 1024);
    out << QStringLiteral("report window shown:  %1 ms\n").arg(windowMs, 0, 'f', 1);
    out << QStringLiteral("layout ms: %1\n").arg(qRound(layoutMs));
    out << QStringLiteral("paint ratio: %1\n").arg(paintMs / bareMs, 0, 'f', 2);
    return 0;
}
