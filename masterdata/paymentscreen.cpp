#include "masterdata/paymentscreen.h"

#include "common/messagebox.h"
#include "data/database.h"
#include "data/datagrid.h"
#include "data/datasource.h"
#include "data/fieldbinding.h"
#include "einvoice/store.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

namespace velinor {

namespace {

MaintenanceScreen::Names names()
{
    MaintenanceScreen::Names n;
    n.screen = QStringLiteral("frmPagamenti");
    n.caption = QStringLiteral("Pagamenti");
    n.source = QStringLiteral("Adodc1");
    n.sourceText = QStringLiteral("SELECT * FROM Pagamenti ORDER BY Descrizione");
    n.record = QStringLiteral("payment term");
    n.aRecord = QStringLiteral("a payment term");
    n.back = QStringLiteral("frmMenu");
    return n;
}

} // namespace

PaymentScreen::PaymentScreen(QWidget* parent) : MaintenanceScreen(names(), parent)
{
    QGroupBox* frame = this->frame();
    auto* form = new QGridLayout;
    auto addBox = [&](const char* name, const char* field, const QString& caption, int maxLength,
                      const QString& hint) {
        auto* box = new QLineEdit(frame);
        box->setObjectName(QLatin1String(name));
        box->setMaxLength(maxLength);
        box->setPlaceholderText(hint);
        const QByteArray labelName = "lbl" + QByteArray(name).mid(3);
        QLabel* label = makeCaption(caption, labelName.constData(), frame);
        label->setBuddy(box);
        bind(box, records(), QLatin1String(field), caption);
        lockWhileBrowsing(box);
        const int row = form->rowCount();
        form->addWidget(label, row, 0);
        form->addWidget(box, row, 1);
        return box;
    };
    m_description = addBox("txtDescrizione", "Descrizione", QStringLiteral("Descrizione"), 100,
                           QStringLiteral("Bonifico 30 gg f.m."));
    m_modality = addBox("txtModalita", "Modalita", QStringLiteral("Modalità (MP01-MP23)"), 4,
                        QStringLiteral("MP05"));
    m_days = addBox("txtGiorni", "Giorni", QStringLiteral("Giorni"), 3, QStringLiteral("30"));
    m_endOfMonth = addBox("txtFineMese", "FineMese", QStringLiteral("Fine mese (0 o 1)"), 1,
                          QStringLiteral("0"));
    const int ch = fontMetrics().horizontalAdvance(QLatin1Char('x'));
    m_description->setMinimumWidth(ch * 36);
    for (QLineEdit* box : {m_modality, m_days, m_endOfMonth})
        box->setMaximumWidth(ch * 8);
    setEditFocus(m_description);
    setKeyBox(m_description);

    auto* list = new DataGrid(records(), frame);
    list->setObjectName(QStringLiteral("DataGrid1"));
    list->horizontalHeader()->setStretchLastSection(true);
    list->setColumnWidth(0, ch * 22);
    setRecordList(list, true);

    layOutBeside(form, list);
    resize(760, 440);
}

QString PaymentScreen::problem()
{
    if (m_description->text().isEmpty())
        return QStringLiteral("The payment term needs a description.");
    static const QRegularExpression modality(QStringLiteral("^MP(0[1-9]|1[0-9]|2[0-3])$"));
    if (!modality.match(m_modality->text()).hasMatch())
        return QStringLiteral("The modality must be a code from MP01 to MP23 (MP01 cash, MP05 "
                              "bank transfer, MP12 RiBa).");
    bool ok = false;
    const int days = m_days->text().toInt(&ok);
    if (!m_days->text().isEmpty() && (!ok || days < 0 || days > 999))
        return QStringLiteral("The days to the due date must be a whole number from 0 to 999.");
    const QString end = m_endOfMonth->text();
    if (!end.isEmpty() && end != QLatin1String("0") && end != QLatin1String("1"))
        return QStringLiteral("Fine mese is 1 when the due date moves to the end of its month, "
                              "else 0.");
    return {};
}

bool PaymentScreen::checkBeforeWrite()
{
    for (QLineEdit* box : {m_description, m_modality, m_days, m_endOfMonth})
        box->setText(box->text().trimmed());
    m_modality->setText(m_modality->text().toUpper());
    for (QLineEdit* box : {m_days, m_endOfMonth})
        if (box->text().isEmpty())
            box->setText(QStringLiteral("0"));
    QString refusal = problem();
    const QString key = m_description->text();
    if (refusal.isEmpty() && keyToCheck(key)) {
        try {
            if (einvoice::paymentTerm(*Database::shared(), key))
                refusal = QStringLiteral("The payment term \"%1\" is already on file.").arg(key);
        } catch (const DbError& e) {
            failed(QStringLiteral("Looking for the payment term among the saved ones"), e.text());
            return false;
        }
    }
    if (refusal.isEmpty())
        return true;
    msg::critical(this, refusal);
    return false;
}

} // namespace velinor
