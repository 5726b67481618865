// The three lookup screens, driven through their widgets on a real file.

#include "app/navigation.h"
#include "tests/support.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using namespace velinor;
using namespace velinor::test;

namespace {

struct Kind {
    QString table, field, box;
};

Kind kindOf(const QString& name)
{
    if (name == "frmCategory")
        return {"Categories", "Category", "txtCategory"};
    if (name == "frmPattern")
        return {"Patterns", "Pattern", "txtPattern"};
    return {"Sizes", "Size", "txtSize"};
}

// The usable controls: N A S C E (the buttons in order), L(ist), K(ey box writable).
QString usable(QWidget* s, const QString& box)
{
    QString state;
    const char* names[] = {"cmdAdd", "cmdUpdate", "cmdSave", "cmdCancel", "cmdDelete", "DataGrid1"};
    for (int i = 0; i < 6; ++i)
        if (control<QWidget>(s, names[i])->isEnabled())
            state += "NASCEL"[i];
    return control<QLineEdit>(s, box)->isReadOnly() ? state : state + 'K';
}

} // namespace

class LookupsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    QWidget* open(const QString& name, const QStringList& rows)
    {
        for (const QString& r : rows)
            m_db->exec(QString("INSERT INTO %1 VALUES (?)").arg(kindOf(name).table), {r});
        return nav::show(name);
    }

private slots:
    void init() { m_db = std::make_unique<TempDatabase>(); }
    void cleanup()
    {
        closeAll();
        m_db.reset();
    }

    void save_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("stored");
        const QStringList twins{"22", "22"}, two{"Ferramenta", "Elettrico"};
        // A search would find the row itself among the twins.
        QTest::newRow("modify unchanged") << "frmSize" << twins << "cmdUpdate" << QStringList{}
                                          << "" << twins;
        QTest::newRow("modify, changed back") << "frmSize" << twins << "cmdUpdate"
                                              << QStringList{"10", "22"} << "" << twins;
        QTest::newRow("modify to another row's key") << "frmCategory" << two << "cmdUpdate"
                                                     << QStringList{"Elettrico"}
                                                     << "Category already in used." << two;
        QTest::newRow("new, empty key") << "frmCategory" << two << "cmdAdd" << QStringList{}
                                        << "Invalid data." << two;
        QTest::newRow("new, key in other case") << "frmPattern" << QStringList{"pz"} << "cmdAdd"
                                                << QStringList{"PZ"}
                                                << "Tread Pattern already in used."
                                                << QStringList{"pz"};
        QTest::newRow("VAT text on the VAT screen") << "frmSize" << QStringList{"22"} << "cmdAdd"
                                                    << QStringList{"22"}
                                                    << "Tire Size already in used."
                                                    << QStringList{"22"};
        QTest::newRow("VAT rate not a number") << "frmSize" << QStringList{"22"} << "cmdAdd"
                                               << QStringList{"abc"} << "Invalid data."
                                               << QStringList{"22"};
        QTest::newRow("VAT rate changed to no number") << "frmSize" << QStringList{"22"}
                                                       << "cmdUpdate" << QStringList{"4%"}
                                                       << "Invalid data." << QStringList{"22"};
        QTest::newRow("VAT rate with decimals") << "frmSize" << QStringList{"22"} << "cmdAdd"
                                                << QStringList{"4.5"} << ""
                                                << QStringList{"22", "4.5"};
        QTest::newRow("old text rate kept unchanged") << "frmSize" << QStringList{"esente"}
                                                      << "cmdUpdate" << QStringList{} << ""
                                                      << QStringList{"esente"};
        QTest::newRow("spaces around an existing key") << "frmCategory" << QStringList{"Utensili"}
                                                       << "cmdAdd" << QStringList{"  Utensili  "}
                                                       << "Category already in used."
                                                       << QStringList{"Utensili"};
        QTest::newRow("spaces around a new key") << "frmPattern" << QStringList{"pz"} << "cmdAdd"
                                                 << QStringList{" kg  "} << ""
                                                 << QStringList{"pz", "kg"};
        QTest::newRow("spaces only") << "frmCategory" << QStringList{} << "cmdAdd"
                                     << QStringList{"   "} << "Invalid data." << QStringList{};
        QTest::newRow("spaces around the key as found") << "frmSize" << twins << "cmdUpdate"
                                                        << QStringList{" 22 "} << "" << twins;
        QTest::newRow("VAT text on the units screen") << "frmPattern" << QStringList{"pz"}
                                                      << "cmdAdd" << QStringList{"22"} << ""
                                                      << QStringList{"pz", "22"};
        QTest::newRow("quoted key found") << "frmCategory" << QStringList{"Ca' d'Oro"} << "cmdAdd"
                                          << QStringList{"ca' D'ORO"}
                                          << "Category already in used."
                                          << QStringList{"Ca' d'Oro"};
        QTest::newRow("quoted key saved") << "frmCategory" << QStringList{"Ca' d'Oro"} << "cmdAdd"
                                          << QStringList{"' OR ''='"} << ""
                                          << QStringList{"Ca' d'Oro", "' OR ''='"};
    }
    void save()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, rows);
        QFETCH(QString, start);
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        QFETCH(QStringList, stored);
        const Kind k = kindOf(name);
        if (name != "frmSize")
            m_db->exec("INSERT INTO Sizes VALUES ('22')");
        Messages messages;
        QWidget* s = open(name, rows);
        auto* box = control<QLineEdit>(s, k.box);
        click(s, start);
        QCOMPARE(box->selectedText(), box->text());
        for (const QString& t : typed)
            type(s, k.box, t);
        const QString last = box->text().trimmed();
        click(s, "cmdSave");
        QCOMPARE(m_db->column(k.table, k.field), stored);
        QCOMPARE(messages.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        QCOMPARE(box->text(), last);
        if (message.isEmpty()) {
            QCOMPARE(usable(s, k.box), QString("NAEL"));
            return;
        }
        QCOMPARE(usable(s, k.box), QString("SCK"));
        QCOMPARE(s->focusWidget(), box);
        QCOMPARE(box->selectedText(), message == "Invalid data." ? QString() : last);
        QEvent activate(QEvent::WindowActivate); // as when a real message box closes
        QApplication::sendEvent(s, &activate);
        QCOMPARE(usable(s, k.box), QString("SCK"));
    }

    void emptyTableAndLastRow()
    {
        m_db->exec("INSERT INTO Tires (Category) VALUES ('Vernici')");
        QWidget* s = open("frmCategory", {"Vernici"});
        click(s, "cmdDelete");
        QCOMPARE(m_db->count("Categories"), 0);
        QCOMPARE(usable(s, "txtCategory"), QString("N"));
        QCOMPARE(m_db->column("Tires", "Category"), QStringList{"Vernici"}); // a copy
        click(s, "cmdAdd");
        type(s, "txtCategory", "Idraulica");
        click(s, "cmdSave");
        QCOMPARE(usable(s, "txtCategory"), QString("NAEL"));
        QCOMPARE(m_db->column("Categories", "Category"), QStringList{"Idraulica"});
    }

    void leavingTheEditStateDiscards_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("leave");
        QTest::newRow("cancel during new") << "frmPattern" << "cmdAdd" << "cmdCancel";
        QTest::newRow("cancel during modify") << "frmSize" << "cmdUpdate" << "cmdCancel";
        QTest::newRow("back during new") << "frmCategory" << "cmdAdd" << "cmdBack";
        QTest::newRow("back during modify") << "frmSize" << "cmdUpdate" << "cmdBack";
    }
    void leavingTheEditStateDiscards()
    {
        QFETCH(QString, name);
        QFETCH(QString, start);
        QFETCH(QString, leave);
        const Kind k = kindOf(name);
        QPointer<QWidget> s = open(name, {"uno", "due"});
        click(s, start);
        type(s, k.box, "tre");
        click(s, leave);
        QCOMPARE(m_db->column(k.table, k.field), (QStringList{"uno", "due"}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(s.isNull());
        QCOMPARE(!screen("frmTire"), leave == "cmdCancel");
        QCOMPARE(!screen(name), leave == "cmdBack");
        if (QWidget* again = screen(name)) {
            QCOMPARE(control<QLineEdit>(again, k.box)->text(), QString("uno"));
            QCOMPARE(usable(again, k.box), QString("NAEL"));
        }
    }

    void enterStartsNewOnlyWhileBrowsing()
    {
        QWidget* s = open("frmCategory", {"Vernici"});
        auto* box = control<QLineEdit>(s, "txtCategory");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(usable(s, "txtCategory"), QString("SCK"));
        QCOMPARE(box->text(), QString());
        type(s, "txtCategory", "Giardinaggio");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(usable(s, "txtCategory"), QString("SCK"));
        QCOMPARE(m_db->count("Categories"), 1);
    }

    // Deleting asks nothing; a second Enter must not delete the next record.
    void enterAfterDeleteDeletesNothingMore_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("rows");
        QTest::newRow("groups, three") << "frmCategory" << "Categories" << "DataGrid1" << 3;
        QTest::newRow("VAT rates, the last") << "frmSize" << "Sizes" << "DataGrid1" << 1;
        QTest::newRow("articles, three") << "frmTire" << "Tires" << "DataGrid4" << 3;
        QTest::newRow("articles, the last") << "frmTire" << "Tires" << "DataGrid4" << 1;
    }
    void enterAfterDeleteDeletesNothingMore()
    {
        QFETCH(QString, name);
        QFETCH(QString, table);
        QFETCH(QString, list);
        QFETCH(int, rows);
        for (int i = 0; i < rows; ++i)
            m_db->exec(QString("INSERT INTO %1 (%2) VALUES (?)")
                           .arg(table, table == "Tires" ? "descrizione" : kindOf(name).field),
                       {QString::number(i)});
        QWidget* s = nav::show(name);
        QTest::mouseClick(control<QPushButton>(s, "cmdDelete"), Qt::LeftButton);
        QCOMPARE(m_db->count(table), rows - 1);
        QCOMPARE(s->focusWidget()->objectName(), rows > 1 ? list : QString("cmdAdd"));
        QTest::keyClick(s->focusWidget(), Qt::Key_Return);
        QCOMPARE(m_db->count(table), rows - 1);
        QCOMPARE(screen(name), s);
    }

    void refusedWritesKeepTheScreen()
    {
        Messages messages;
        QWidget* s = open("frmCategory", {"Vernici"});
        m_db->exec("BEGIN IMMEDIATE"); // another program holds the file
        click(s, "cmdDelete");
        QVERIFY2(messages.last().startsWith("Deleting the merchandise group failed: the database "
                                            "file is in use"), qPrintable(messages.last()));
        click(s, "cmdAdd");
        type(s, "txtCategory", "Idraulica");
        click(s, "cmdSave");
        QCOMPARE(messages.count(), 2);
        QVERIFY(messages.last().startsWith("Saving the merchandise group failed: "));
        QCOMPARE(usable(s, "txtCategory"), QString("SCK"));
        QCOMPARE(control<QLineEdit>(s, "txtCategory")->text(), QString("Idraulica"));
        m_db->exec("ROLLBACK");
        click(s, "cmdSave");
        QCOMPARE(messages.count(), 2);
        QCOMPARE(m_db->column("Categories", "Category"), (QStringList{"Vernici", "Idraulica"}));
    }
};

QTEST_MAIN(LookupsTest)
#include "tst_lookups.moc"
