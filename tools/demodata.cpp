#include "tools/demodata.h"

#include "app/password.h"
#include "common/taxcode.h"
#include "data/database.h"
#include "einvoice/vattotals.h"

#include <QStringList>
#include <QVariantList>

namespace velinor::demo {

namespace {

const char* const categories[] = {"Ferramenta", "Elettrico", "Idraulica", "Vernici",
                                  "Giardinaggio"};
const char* const units[] = {"pz", "kg", "m", "lt", "conf"};
const char* const vatRates[] = {"4", "10", "22"};

struct Article {
    const char* code;
    const char* description;
    const char* category;
    const char* unit;
    int vat;
    double quantity, min, max;
    double list1, list2, list3;
    const char* size;
    const char* measure;
};

// A few articles sit below their minimum so the stock lists have something
// to show.
const Article articles[] = {
    {"TIR104827A", "Viti legno testa svasata zincate 4x40", "Ferramenta", "conf", 22,
     48, 10, 80, 6.90, 6.50, 5.90, "", "4x40"},
    {"TIR215390C", "Tasselli in nylon con vite 8 mm", "Ferramenta", "conf", 22,
     35, 10, 60, 5.40, 5.10, 4.60, "", "8x40"},
    {"TIR338164E", "Martello da carpentiere 500 g manico in fibra", "Ferramenta", "pz", 22,
     12, 4, 20, 18.50, 17.40, 15.90, "", ""},
    {"TIR402918B", "Cacciavite a taglio 6x150 mm", "Ferramenta", "pz", 22,
     25, 6, 40, 4.80, 4.50, 4.10, "", ""},
    {"TIR519073K", "Chiodi acciaio testa piana 3x50", "Ferramenta", "kg", 22,
     18.5, 5, 30, 4.20, 3.95, 3.60, "", "3x50"},
    {"TIR627451M", "Lucchetto in ottone 40 mm con due chiavi", "Ferramenta", "pz", 22,
     3, 5, 15, 9.90, 9.30, 8.50, "", ""},
    {"TIR731806D", "Guanti da lavoro in nitrile", "Ferramenta", "pz", 22,
     60, 20, 120, 3.20, 2.95, 2.70, "L", ""},
    {"TIR731807F", "Guanti da lavoro in nitrile", "Ferramenta", "pz", 22,
     42, 20, 120, 3.20, 2.95, 2.70, "XL", ""},
    {"TIR846235H", "Catena zincata a maglia corta 6 mm", "Ferramenta", "m", 22,
     75, 20, 150, 3.60, 3.40, 3.05, "", "6 mm"},
    {"TIR150662P", "Cavo unipolare FS17 1,5 mmq blu", "Elettrico", "m", 22,
     400, 100, 800, 0.45, 0.42, 0.38, "", "1,5 mmq"},
    {"TIR263907R", "Cavo FG16OR16 3G2,5", "Elettrico", "m", 22,
     180, 50, 300, 2.10, 1.98, 1.80, "", "3G2,5"},
    {"TIR374118S", "Lampadina LED E27 10 W luce calda", "Elettrico", "pz", 22,
     90, 24, 150, 4.50, 4.20, 3.80, "", "E27"},
    {"TIR485520T", "Interruttore magnetotermico 1P+N 16 A", "Elettrico", "pz", 22,
     8, 10, 30, 14.90, 13.90, 12.70, "", "16 A"},
    {"TIR596341U", "Presa schuko 16 A bianca", "Elettrico", "pz", 22,
     40, 12, 60, 3.90, 3.60, 3.30, "", ""},
    {"TIR608873V", "Nastro isolante PVC 19 mm x 25 m nero", "Elettrico", "pz", 22,
     110, 30, 200, 1.20, 1.10, 0.99, "", ""},
    {"TIR719254W", "Multipresa 6 posti con interruttore", "Elettrico", "pz", 22,
     16, 5, 25, 12.50, 11.90, 10.75, "", ""},
    {"TIR120485G", "Tubo multistrato 16x2 mm", "Idraulica", "m", 22,
     250, 50, 500, 1.85, 1.75, 1.58, "", "16x2"},
    {"TIR231796J", "Raccordo a pressare diritto 16 mm", "Idraulica", "pz", 22,
     64, 20, 100, 3.40, 3.20, 2.90, "", "16 mm"},
    {"TIR342017L", "Rubinetto a sfera F/F con leva rossa", "Idraulica", "pz", 22,
     22, 8, 40, 7.80, 7.30, 6.70, "", "1/2\""},
    {"TIR453628N", "Nastro in PTFE 12 mm x 12 m", "Idraulica", "pz", 22,
     150, 40, 250, 0.90, 0.85, 0.75, "", ""},
    {"TIR564139Q", "Miscelatore monocomando per lavabo cromato", "Idraulica", "pz", 22,
     4, 3, 10, 49.00, 46.00, 42.50, "", ""},
    {"TIR675340X", "Idropittura lavabile bianca per interni", "Vernici", "lt", 22,
     120, 30, 200, 4.60, 4.35, 3.95, "", ""},
    {"TIR786451Y", "Smalto all'acqua bianco lucido", "Vernici", "lt", 22,
     14, 10, 40, 14.90, 14.00, 12.80, "", ""},
    {"TIR897562Z", "Impregnante per legno color noce", "Vernici", "lt", 22,
     26, 10, 40, 11.50, 10.80, 9.90, "", ""},
    {"TIR908673A", "Pennello piatto setola naturale 50 mm", "Vernici", "pz", 22,
     55, 15, 80, 3.50, 3.30, 2.99, "", "50 mm"},
    {"TIR019784B", "Rullo antigoccia per pareti 22 cm", "Vernici", "pz", 22,
     18, 6, 30, 6.90, 6.50, 5.90, "", "22 cm"},
    {"TIR130895C", "Concime granulare universale NPK", "Giardinaggio", "kg", 4,
     95, 25, 150, 2.80, 2.65, 2.40, "", ""},
    {"TIR241906D", "Sementi per prato rustico", "Giardinaggio", "kg", 4,
     30, 10, 50, 8.90, 8.40, 7.60, "", ""},
    {"TIR352017E", "Piantina di basilico in vaso 14 cm", "Giardinaggio", "pz", 10,
     36, 12, 60, 2.50, 2.35, 2.10, "", "14 cm"},
    {"TIR463128F", "Tubo da giardino retinato 25 m", "Giardinaggio", "pz", 22,
     9, 4, 15, 24.90, 23.50, 21.40, "", "1/2\""},
    {"TIR574239G", "Forbici da potatura a battente", "Giardinaggio", "pz", 22,
     11, 4, 20, 16.50, 15.60, 14.20, "", ""},
};

struct Customer {
    const char* code;
    const char* name;
    const char* address;
    const char* city;
    const char* postcode;
    const char* phone;
    const char* vatNumber;
    const char* taxCode;
    const char* priceList;
    const char* province;
    const char* recipientCode; // Codice Destinatario
    const char* pec;
};

// Companies have a tax code equal to the VAT number; sole traders a personal
// one. Both kinds carry valid check characters. Most receive electronic
// invoices through a Codice Destinatario, two through their PEC only.
const Customer customers[] = {
    {"CUS482913K", "Rossi Forniture S.r.l.", "Via Giuseppe Garibaldi 14", "Milano", "20121",
     "02 8645 1120", "04829130154", "04829130154", "1", "MI", "M5UXCR1", ""},
    {"CUS319847B", "Edilcasa Bergamasca S.n.c. di Locatelli & C.", "Via Borgo Palazzo 87",
     "Bergamo", "24125", "035 241 8873", "03198470167", "03198470167", "2", "BG", "KRRH6B9", ""},
    {"CUS127650F", "Ferramenta Bianchi di Bianchi Luca", "Corso Buenos Aires 52", "Milano",
     "20124", "02 2940 3318", "01276500152", "BNCLCU71C12F205C", "3", "MI", "",
     "ferramenta.bianchi@pec.example.it"},
    {"CUS245781R", "Idrotermica Verdi di Verdi Giuseppe", "Via Nizza 133", "Torino", "10126",
     "011 669 2045", "02457810014", "VRDGPP65H04L219M", "2", "TO", "T04ZHR3", ""},
    {"CUS533904M", "Colorificio Conti di Conti Maria", "Via Tuscolana 410", "Roma", "00181",
     "06 7851 2296", "05339040585", "CNTMRA80A41H501S", "1", "RM", "",
     "colorificio.conti@pec.example.it"},
    {"CUS376218T", "Impianti Elettrici Emiliani S.p.A.", "Via della Liberazione 21", "Bologna",
     "40128", "051 632 7710", "03762180374", "03762180374", "3", "BO", "SUBM70N", ""},
    {"CUS690455W", "Giardini & Vivai Toscani S.r.l.", "Via Pistoiese 298", "Firenze", "50145",
     "055 317 4482", "06904550487", "06904550487", "2", "FI", "USAL8PV", ""},
    {"CUS157332H", "Edil Partenope S.r.l.", "Via Argine 515", "Napoli", "80147",
     "081 559 0137", "01573320635", "01573320635", "3", "NA", "W7YVJK9", ""},
    {"CUS412906D", "Costruzioni Zanon S.a.s.", "Via Venezia 59", "Padova", "35131",
     "049 807 6621", "04129060283", "04129060283", "1", "PD", "5RUO82D", ""},
    {"CUS288417P", "Termoidraulica Bresciana S.r.l.", "Via Milano 118", "Brescia", "25126",
     "030 312 9954", "02884170172", "02884170172", "2", "BS", "A4707H7", ""},
};

QString text(const char* s) { return QString::fromUtf8(s); }

// The seller: a made-up company whose Partita IVA gets its check digit from
// the same routine that checks it.
void fillCompany(Database& db)
{
    const QString firstTen = QStringLiteral("0245813096");
    const QString vatNumber = firstTen + QString::number(taxcode::partitaIvaCheckDigit(firstTen));
    db.exec(QStringLiteral(R"(UPDATE "Azienda" SET "Denominazione" = ?, "PartitaIva" = ?,
                "CodiceFiscale" = ?, "Indirizzo" = ?, "NumeroCivico" = ?, "CAP" = ?,
                "Comune" = ?, "Provincia" = ?, "Nazione" = 'IT', "RegimeFiscale" = 'RF01',
                "Telefono" = ?, "Email" = ?)"),
            {QStringLiteral("Kestrava Forniture S.r.l."), vatNumber, vatNumber,
             QStringLiteral("Viale Monza"), QStringLiteral("212"), QStringLiteral("20127"),
             QStringLiteral("Milano"), QStringLiteral("MI"), QStringLiteral("02 2614 3390"),
             QStringLiteral("amministrazione@kestrava.example.it")});
}

struct InvoiceLine {
    int invoice;
    const char* article; // a code of articles[]
    double quantity;
    const char* ddt;
    const char* ddtDate;
};

// Two saved invoices: one delivered with a DDT at a single rate, one at
// three rates to a customer reached by PEC.
const InvoiceLine invoiceLines[] = {
    {1, "TIR104827A", 4, "118", "01/12/2026"},
    {1, "TIR338164E", 2, "118", "01/12/2026"},
    {1, "TIR150662P", 100, "118", "01/12/2026"},
    {2, "TIR130895C", 25, "", ""},
    {2, "TIR352017E", 12, "", ""},
    {2, "TIR463128F", 3, "", ""},
};

struct Invoice {
    int number;
    const char* date;
    const char* customerCode;
    const char* payment;
    const char* appearance;
    const char* packages;
    const char* carrier;
};

const Invoice invoices[] = {
    {1, "2026-12-01", "CUS482913K", "Bonifico 30 gg d.f.", "Scatole", "3", "Mittente"},
    {2, "2026-12-04", "CUS127650F", "Rimessa diretta", "", "", ""},
};

const Article& article(const char* code)
{
    for (const Article& a : articles)
        if (qstrcmp(a.code, code) == 0)
            return a;
    qFatal("no demo article %s", code);
}

const Customer& customer(const char* code)
{
    for (const Customer& c : customers)
        if (qstrcmp(c.code, code) == 0)
            return c;
    qFatal("no demo customer %s", code);
}

double listPrice(const Article& a, const Customer& c)
{
    const QString list = text(c.priceList);
    return list == QLatin1String("2") ? a.list2 : list == QLatin1String("3") ? a.list3 : a.list1;
}

// Written as the invoice screen saves them: lines computed in double
// precision, header totals by VAT rate in cents.
void fillInvoices(Database& db)
{
    Statement line(db, QStringLiteral(
        R"(INSERT INTO "DettaglioFatture" ("Descrizione Articolo", "Quantità", "Prezzo",
               "Imponibile", "Iva", "Totale Riga", "Data", "Codice Cliente", "Numero Fattura",
               "Codice Articolo", "bolla", "databolla", "UM")
           VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?))"));
    Statement header(db, QStringLiteral(
        R"(INSERT INTO "Fatture" ("Order Code", "Date", "Cliente", "Codice Cliente",
               "Totale Imponibile", "Totale Imposta", "Totale Fattura", "Pagamento", "Aspetto",
               "Numero Colli", "Vettore")
           VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?))"));
    for (const Invoice& inv : invoices) {
        const Customer& c = customer(inv.customerCode);
        QList<einvoice::TaxedLine> taxed;
        for (const InvoiceLine& l : invoiceLines) {
            if (l.invoice != inv.number)
                continue;
            const Article& a = article(l.article);
            const double price = listPrice(a, c);
            const double amount = price * l.quantity;
            const double lineTotal = amount + amount * a.vat / 100.0;
            taxed.append(*einvoice::taxedLine(amount, a.vat));
            line.bindAll({text(a.description), l.quantity, price, amount, double(a.vat),
                          lineTotal, text(inv.date), text(c.code), inv.number, text(a.code),
                          text(l.ddt), text(l.ddtDate), text(a.unit)});
            line.step();
            line.reset();
        }
        const einvoice::VatTotals totals = einvoice::vatTotals(taxed);
        auto stored = [](const einvoice::Amount& a) { return a.text(2, 2).toDouble(); };
        header.bindAll({inv.number, text(inv.date), text(c.name), text(c.code),
                        stored(totals.taxable), stored(totals.tax), stored(totals.total),
                        text(inv.payment), text(inv.appearance),
                        text(inv.packages), text(inv.carrier)});
        header.step();
        header.reset();
    }
}

void insertValues(Database& db, const QString& table, const char* const* first,
                  const char* const* last)
{
    Statement st(db, QStringLiteral(R"(INSERT INTO "%1" VALUES (?))").arg(table));
    for (auto it = first; it != last; ++it) {
        st.bind(1, text(*it));
        st.step();
        st.reset();
    }
}

const char* const seedUnits[] = {"pz", "kg", "m", "l", "conf"};
const char* const seedVatRates[] = {"22", "10", "5", "4"};

} // namespace

void seed(Database& db)
{
    Transaction tx(db);
    insertValues(db, QStringLiteral("Patterns"), std::begin(seedUnits), std::end(seedUnits));
    insertValues(db, QStringLiteral("Sizes"), std::begin(seedVatRates), std::end(seedVatRates));
    tx.commit();
}

QList<Login> logins()
{
    return {
        {QStringLiteral("admin"), QStringLiteral("velinor"), true},
        {QStringLiteral("mario"), QStringLiteral("rossi2026"), false},
    };
}

void fill(Database& db)
{
    Transaction tx(db);

    insertValues(db, QStringLiteral("Categories"), std::begin(categories), std::end(categories));
    insertValues(db, QStringLiteral("Patterns"), std::begin(units), std::end(units));
    insertValues(db, QStringLiteral("Sizes"), std::begin(vatRates), std::end(vatRates));

    {
        Statement st(db, QStringLiteral(
            R"(INSERT INTO "Tires" ("Tire Code", "descrizione", "Category", "Pattern", "Iva",
                   "Quantity", "Min", "Max", "listino1", "listino2", "listino3", "Price",
                   "Size", "misura")
               VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?))"));
        for (const Article& a : articles) {
            st.bindAll({text(a.code), text(a.description), text(a.category), text(a.unit),
                        a.vat, a.quantity, a.min, a.max, a.list1, a.list2, a.list3,
                        a.list1, // the sale price starts as list 1
                        text(a.size), text(a.measure)});
            st.step();
            st.reset();
        }
    }

    {
        Statement st(db, QStringLiteral(
            R"(INSERT INTO "Customers" ("Customer Code", "Cliente", "Indirizzo", "città", "cap",
                   "NumeroTelefonico", "PartitaIva", "CodiceFiscale", "listino", "Provincia",
                   "Nazione", "CodiceDestinatario", "PEC")
               VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'IT', ?, ?))"));
        for (const Customer& c : customers) {
            st.bindAll({text(c.code), text(c.name), text(c.address), text(c.city),
                        text(c.postcode), text(c.phone), text(c.vatNumber), text(c.taxCode),
                        text(c.priceList), text(c.province), text(c.recipientCode),
                        text(c.pec)});
            st.step();
            st.reset();
        }
    }

    {
        Statement st(db, QStringLiteral(R"(INSERT INTO "Users" ("Username", "Password") VALUES (?, ?))"));
        for (const Login& login : logins()) {
            st.bindAll({login.user, login.hashed ? password::hash(login.password) : login.password});
            st.step();
            st.reset();
        }
    }

    fillCompany(db);
    fillInvoices(db);
    tx.commit();
}

} // namespace velinor::demo
