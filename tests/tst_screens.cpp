// Every screen on a 1366x768 laptop desktop, and what the shared pieces do
// for all of them: fitting, the focus after a save, the read-only look and
// the Tab order, a saved record in its place, the archive at its newest,
// the company data from the menu, Qt's own texts in Italian, file names.

#include "app/navigation.h"
#include "app/translations.h"
#include "common/exportfolder.h"
#include "data/datasource.h"
#include "reports/reportwindow.h"
#include "tests/support.h"
#include "tools/demodata.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryFile>

using namespace velinor;
using namespace velinor::test;

namespace {

QRect desktop() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// Starts a record on a screen and fills what its Save needs.
void startRecord(QWidget* s, const QString& name)
{
    click(s, "cmdAdd");
    if (name == "frmTire") {
        type(s, "Text1", "Aaa primo articolo");
        for (const char* grid : {"DataGrid1", "DataGrid2", "DataGrid3"})
            clickRow(s, grid, 0);
    } else if (name == "frmCustomer") {
        type(s, "txtName", "Neri Ferramenta");
        type(s, "txtAddress", "Via Roma 1");
        type(s, "txtNumber", "0541 1");
    } else if (name == "frmCategory") {
        type(s, "txtCategory", "Colori");
    } else { // the document screens
        clickRow(s, "DataGrid1", 0);
        clickRow(s, "DataGrid2", 0);
    }
}

} // namespace

class ScreensTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

private slots:
    void init()
    {
        m_db = std::make_unique<TempDatabase>();
        demo::fill(m_db->db());
    }
    void cleanup()
    {
        closeAll();
        m_db.reset();
        loadQtTranslations(QLocale::c());
    }

    // Opened as the user opens it, each screen lies whole on the desktop
    // and every control it shows can be reached: nothing is cut by the
    // window's edge or hidden under another part.
    void everyScreenFitsTheLaptop_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"frmAdmin", "frmUser", "frmNew", "frmMenu", "frmTire",
                                 "frmCustomer", "frmCategory", "frmPattern", "frmSize",
                                 "frmordini", "frmFatture", "frmMonthly", "frmAzienda"})
            QTest::newRow(name) << name;
    }
    void everyScreenFitsTheLaptop()
    {
        QFETCH(QString, name);
        QCOMPARE(desktop().size(), QSize(1366, 768));
        Messages messages;
        QWidget* menu = nav::show("frmMenu");
        QWidget* s = name == "frmAzienda" ? nav::show(name) : nav::go(menu, name);
        QVERIFY(s);
        QCoreApplication::processEvents();
        // Room is left for a window manager's title bar, too.
        QVERIFY(s->minimumSizeHint().height() + 40 <= desktop().height());
        QVERIFY(s->frameGeometry().height() + 24 <= desktop().height());
        const QRect frame = s->frameGeometry();
        QVERIFY2(desktop().contains(frame), qPrintable(QString("%1x%2 at %3,%4").arg(frame.width())
                                                           .arg(frame.height()).arg(frame.x())
                                                           .arg(frame.y())));
        for (QWidget* w : s->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(s) || w->size().isEmpty() || !(qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w)
                                        || qobject_cast<QComboBox*>(w) || qobject_cast<QTableView*>(w)))
                continue;
            const QRect seen = w->visibleRegion().boundingRect();
            QVERIFY2(seen == w->rect(), qPrintable(QString("%1 %2 is cut: %3,%4 %5x%6 of %7x%8")
                                                       .arg(w->metaObject()->className(), w->objectName())
                                                       .arg(seen.x()).arg(seen.y()).arg(seen.width())
                                                       .arg(seen.height()).arg(w->width()).arg(w->height())));
            QVERIFY2(w->height() >= w->minimumSizeHint().height(),
                     qPrintable(w->objectName() + " is squeezed"));
        }
        QCOMPARE(messages.count(), 0);
    }

    // A screen maximised by the user opens maximised on the next visit.
    void maximisingLasts()
    {
        QWidget* menu = nav::show("frmMenu");
        QWidget* s = nav::go(menu, "frmFatture");
        s->showMaximized();
        QCoreApplication::processEvents();
        click(s, "cmdBack");
        s = nav::go(screen("frmMenu"), "frmFatture");
        QVERIFY(s->isMaximized());
    }

    // After "Salva" the next Enter starts the next record: the focus is on
    // the record list, never on the back button.
    void focusAfterSave_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("list");
        QTest::newRow("articles") << "frmTire" << "DataGrid4";
        QTest::newRow("customers") << "frmCustomer" << "DataGrid1";
        QTest::newRow("groups") << "frmCategory" << "DataGrid1";
        QTest::newRow("invoices") << "frmFatture" << "cmdAdd";
        QTest::newRow("orders") << "frmordini" << "cmdAdd";
    }
    void focusAfterSave()
    {
        QFETCH(QString, name);
        QFETCH(QString, list);
        Messages messages;
        QWidget* s = nav::go(nav::show("frmMenu"), name);
        startRecord(s, name);
        click(s, "cmdSave");
        QVERIFY2(!control<QPushButton>(s, "cmdSave")->isEnabled(), qPrintable(messages.texts().join('|')));
        QVERIFY(s->focusWidget());
        QCOMPARE(s->focusWidget()->objectName(), list);
        QTest::keyClick(s->focusWidget(), Qt::Key_Return);
        QCOMPARE(screen(name), s); // still here, now with a new record begun
        QVERIFY(control<QPushButton>(s, "cmdSave")->isEnabled());
    }

    // Boxes that cannot be typed in look it and Tab passes them by; they
    // change with the state of the screen.
    void readOnlyLook_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("edit"); // the button that makes it writable; none: stays
        QTest::newRow("article price") << "frmTire" << "txtPrice1" << "cmdUpdate";
        QTest::newRow("customer name") << "frmCustomer" << "txtName" << "cmdAdd";
        QTest::newRow("group") << "frmCategory" << "txtCategory" << "cmdAdd";
        QTest::newRow("invoice date") << "frmFatture" << "txtDate" << "cmdAdd";
        QTest::newRow("invoice customer") << "frmFatture" << "txtSupplier" << "";
        QTest::newRow("order total") << "frmordini" << "txttotale" << "";
    }
    void readOnlyLook()
    {
        QFETCH(QString, name);
        QFETCH(QString, box);
        QFETCH(QString, edit);
        QWidget* s = nav::go(nav::show("frmMenu"), name);
        auto* b = control<QLineEdit>(s, box);
        auto looksReadOnly = [b] {
            return b->focusPolicy() == Qt::ClickFocus
                   && b->palette().color(QPalette::Base) == b->palette().color(QPalette::Window);
        };
        QVERIFY(b->isReadOnly());
        QVERIFY2(looksReadOnly(), qPrintable(QString("%1 %2 %3").arg(b->focusPolicy()).arg(b->palette().color(QPalette::Base).name(), b->palette().color(QPalette::Window).name())));
        click(s, edit.isEmpty() ? QString("cmdAdd") : edit);
        QCOMPARE(b->isReadOnly(), edit.isEmpty());
        QCOMPARE(looksReadOnly(), edit.isEmpty());
        if (!edit.isEmpty()) {
            QCOMPARE(b->focusPolicy(), Qt::StrongFocus);
            QCOMPARE(b->palette().color(QPalette::Base), QApplication::palette(b).color(QPalette::Base));
        }
    }

    // Tab walks the customer's boxes as they are shown: the left column,
    // the right one, then the e-invoicing boxes; read-only ones are passed.
    void customerTabOrder_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QStringList>("boxes");
        const QStringList all{"txtName", "txtAddress", "txtCittà", "txtcap", "txtiva",
                              "txtfiscale", "txtNumber", "txtlistino", "txtprovincia",
                              "txtcoddest", "txtnazione", "txtpec"};
        QStringList browsing = all;
        for (const char* locked : {"txtName", "txtAddress", "txtNumber"})
            browsing.removeAll(locked);
        QTest::newRow("editing") << true << all;
        QTest::newRow("browsing") << false << browsing;
    }
    void customerTabOrder()
    {
        QFETCH(bool, editing);
        QFETCH(QStringList, boxes);
        QWidget* s = nav::go(nav::show("frmMenu"), "frmCustomer");
        if (editing)
            click(s, "cmdAdd");
        control<QLineEdit>(s, "TXTCODE")->setFocus();
        QStringList walked;
        for (int i = 0; i < boxes.size(); ++i) {
            QTest::keyClick(s->focusWidget(), Qt::Key_Tab);
            walked << s->focusWidget()->objectName();
        }
        QCOMPARE(walked, boxes);
    }

    // A record just saved takes its place in the list's order and stays
    // the current one.
    void savedRecordTakesItsPlace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("articles") << "frmTire" << "DataGrid4" << "descrizione" << "Aaa primo articolo";
        QTest::newRow("customers") << "frmCustomer" << "DataGrid1" << "Cliente" << "Neri Ferramenta";
    }
    void savedRecordTakesItsPlace()
    {
        QFETCH(QString, name);
        QFETCH(QString, list);
        QFETCH(QString, field);
        QFETCH(QString, value);
        Messages messages;
        QWidget* s = nav::go(nav::show("frmMenu"), name);
        startRecord(s, name);
        click(s, "cmdSave");
        auto* view = control<QTableView>(s, list);
        DataSource* source = s->findChild<DataSource*>(name == "frmTire" ? "Adodc4" : "Adodc1");
        QStringList shown;
        for (int r = 0; r < source->recordCount(); ++r)
            shown << source->text(r, source->requireField(field));
        QStringList sorted = shown;
        std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        QCOMPARE(shown, sorted);
        QCOMPARE(source->value(field), value);
        QCOMPARE(view->currentIndex().row(), shown.indexOf(value));
        QVERIFY(view->selectionModel()->isRowSelected(shown.indexOf(value), {}));
    }

    // The archive opens on its newest documents, whole rows under the header.
    void archiveShowsTheNewest_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("invoices") << "frmFatture";
        QTest::newRow("orders") << "frmordini";
    }
    void archiveShowsTheNewest()
    {
        QFETCH(QString, name);
        for (int n = 100; n < 160; ++n)
            m_db->exec("INSERT INTO Fatture (\"Order Code\", \"Numero Ordine\", Cliente, Date) "
                       "VALUES (?, ?, 'Rossi', '2026-12-01')",
                       {name == "frmFatture" ? QVariant(n) : QVariant(0),
                        name == "frmFatture" ? QVariant("") : QVariant(QString("ORD%1A").arg(n))});
        QWidget* s = nav::go(nav::show("frmMenu"), name);
        QCoreApplication::processEvents();
        auto* view = control<QTableView>(s, "DataGrid4");
        const int last = view->model()->rowCount() - 1;
        QVERIFY(last > 50);
        const QRect lastRow = view->visualRect(view->model()->index(last, 0));
        QVERIFY(view->viewport()->rect().contains(lastRow));
        const int top = view->rowAt(0);
        QVERIFY2(view->rowViewportPosition(top) == 0,
                 qPrintable(QString("mode %1 value %2 max %3 top %4 at %5 vp %6")
                                .arg(view->verticalScrollMode()).arg(view->verticalScrollBar()->value())
                                .arg(view->verticalScrollBar()->maximum()).arg(top)
                                .arg(view->rowViewportPosition(top)).arg(view->viewport()->height())));
    }

    // On the articles screen nothing looks picked in the three lists until
    // the user picks.
    void pickListsShowNoRowUntilPicked()
    {
        Messages messages;
        QWidget* s = nav::go(nav::show("frmMenu"), "frmTire");
        click(s, "cmdUpdate");
        for (const char* grid : {"DataGrid1", "DataGrid2", "DataGrid3"})
            QVERIFY2(!control<QTableView>(s, grid)->selectionModel()->hasSelection(), grid);
        clickRow(s, "DataGrid2", 1);
        QVERIFY(control<QTableView>(s, "DataGrid2")->selectionModel()->isRowSelected(1, {}));
        QVERIFY(!control<QTableView>(s, "DataGrid1")->selectionModel()->hasSelection());
        click(s, "cmdSave");
        click(s, "cmdUpdate"); // another edit starts with nothing picked
        QVERIFY(!control<QTableView>(s, "DataGrid2")->selectionModel()->hasSelection());
    }

    // "Archivio" > "Dati Azienda..." opens the company data over the menu;
    // Escape closes it, and the regime is picked from the tables' codes.
    void companyDataFromTheMenu()
    {
        QWidget* menu = nav::show("frmMenu");
        auto* action = menu->findChild<QAction*>("mnuAzienda");
        QVERIFY(action);
        QCOMPARE(action->text(), QString("&Dati Azienda..."));
        action->trigger();
        QWidget* s = screen("frmAzienda");
        QVERIFY(s && screen("frmMenu"));
        auto* regime = control<QComboBox>(s, "cboRegimeFiscale");
        QCOMPARE(regime->count(), 18); // RF01 to RF19, RF03 withdrawn
        QCOMPARE(regime->itemText(0), QString("RF01 - Regime ordinario"));
        QVERIFY(regime->findText("RF19 - Regime forfettario", Qt::MatchStartsWith) >= 0);
        QCOMPARE(regime->findData("RF03"), -1);
        QCOMPARE(regime->currentData().toString(), m_db->scalar("SELECT RegimeFiscale FROM Azienda").toString());
        regime->setCurrentIndex(regime->findData("RF19"));
        click(s, "cmdSave");
        QCOMPARE(m_db->scalar("SELECT RegimeFiscale FROM Azienda").toString(), QString("RF19"));

        action->trigger();
        s = screen("frmAzienda");
        QCOMPARE(control<QComboBox>(s, "cboRegimeFiscale")->currentData().toString(), QString("RF19"));
        QTest::keyClick(s, Qt::Key_Escape);
        QVERIFY(!screen("frmAzienda"));
        QVERIFY(screen("frmMenu"));
    }

    // Closing the last screen closes what was opened over it: no stray
    // window keeps the program alive.
    void lastScreenTakesTheCompanyDataWithIt_data()
    {
        QTest::addColumn<QString>("beneath");
        QTest::newRow("invoices") << "frmFatture";
        QTest::newRow("menu") << "frmMenu";
    }
    void lastScreenTakesTheCompanyDataWithIt()
    {
        QFETCH(QString, beneath);
        QWidget* s = beneath == "frmMenu" ? nav::show(beneath) : nav::go(nav::show("frmMenu"), beneath);
        QVERIFY(nav::show("frmAzienda"));
        s->close();
        QVERIFY(!screen("frmAzienda"));
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    // Qt's own dialogs speak Italian under an Italian locale.
    void qtSpeaksTheUsersLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("it_IT") << "it_IT" << true << "&Annulla";
        QTest::newRow("C") << "C" << false << "&Cancel";
    }
    void qtSpeaksTheUsersLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(bool, loaded);
        QFETCH(QString, cancel);
        QCOMPARE(loadQtTranslations(QLocale(locale)), loaded);
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove('&'), QString(cancel).remove('&'));
    }

    // A PDF is proposed in the export folder, named after the document.
    void exportNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("file");
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QTest::newRow("invoice") << "frmFatture" << "DataReport8" << "Fattura 2 " + today + ".pdf";
        QTest::newRow("order") << "frmordini" << "DataReport9" << "Ordine ORD555001K.pdf";
        QTest::newRow("customers") << "frmCustomer" << "DataReport4" << "Clienti " + today + ".pdf";
    }
    void exportNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, report);
        QFETCH(QString, file);
        Messages messages;
        m_db->exec("INSERT INTO Fatture (\"Order Code\", \"Numero Ordine\", Cliente, Date) "
                   "SELECT 0, 'ORD555001K', Cliente, '2026-12-01' FROM Customers LIMIT 1");
        QWidget* s = nav::go(nav::show("frmMenu"), name);
        if (name == "frmCustomer") {
            click(s, "cmdReport");
        } else {
            auto* archive = control<QTableView>(s, "DataGrid4");
            clickRow(s, "DataGrid4", archive->model()->rowCount() - 1);
            click(s, "cmdSlip");
        }
        auto* window = reports::ReportWindow::find(report);
        QVERIFY2(window, qPrintable(messages.texts().join('|')));
        QCOMPARE(window->proposedPdfPath(), QDir(exportFolder()).absoluteFilePath(file));
        QCOMPARE(exportFolder(), QDir::currentPath());
    }
};

// The offscreen desktop of a 1366x768 laptop, set before Qt starts.
int main(int argc, char* argv[])
{
    QTemporaryFile config(QDir::tempPath() + "/velinor-screen-XXXXXX.json");
    if (!config.open())
        return 1;
    config.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366,
                   "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toUtf8());
    QApplication app(argc, argv);
    ScreensTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_screens.moc"
