#include "masterdata/companyscreen.h"

#include "app/navigation.h"
#include "common/defaultbutton.h"
#include "common/logo.h"
#include "common/messagebox.h"
#include "data/database.h"
#include "einvoice/fatturapa.h"
#include "einvoice/regimes.h"
#include "einvoice/store.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace velinor {

namespace {

struct BoxPlace {
    const char* field;
    const char* caption;
    int maxLength;
    int row, column, span;
};

// Laid out as the data are read on an invoice heading: name, tax numbers,
// address, then the regime and the contacts.
const BoxPlace boxes[] = {
    {"Denominazione", "Denominazione", 80, 0, 0, 3},
    {"PartitaIva", "Partita IVA", 16, 1, 0, 1},
    {"CodiceFiscale", "Codice Fiscale", 16, 1, 2, 1},
    {"Indirizzo", "Indirizzo", 60, 2, 0, 1},
    {"NumeroCivico", "Numero Civico", 8, 2, 2, 1},
    {"CAP", "CAP", 5, 3, 0, 1},
    {"Comune", "Comune", 60, 3, 2, 1},
    {"Provincia", "Provincia", 2, 4, 0, 1},
    {"Nazione", "Nazione", 2, 4, 2, 1},
    {"Telefono", "Telefono", 12, 5, 0, 1},
    {"Email", "Email", 256, 6, 0, 3},
    {"IBAN", "IBAN", 34, 8, 0, 3},
};

} // namespace

CompanyScreen::CompanyScreen(QWidget* parent) : QWidget(parent), m_db(Database::shared())
{
    const QStringList missing = einvoice::missingForExport(*m_db);
    if (!missing.isEmpty())
        throw DbError(einvoice::upgradeAdvice(m_db->path(), missing));

    setObjectName(QStringLiteral("frmAzienda"));
    setWindowTitle(QStringLiteral("Dati Azienda"));
    nav::markOverlay(this);

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    for (const BoxPlace& place : boxes) {
        QLineEdit* box = addBox(place.field);
        auto* label = new QLabel(QString::fromUtf8(place.caption), frame);
        label->setObjectName(QStringLiteral("lbl") + QLatin1String(place.field));
        label->setBuddy(box);
        grid->addWidget(label, place.row, place.column);
        // Codes of a few characters get boxes of their size.
        if (place.maxLength <= 8) {
            box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('M'))
                                 * (place.maxLength + 2));
            grid->addWidget(box, place.row, place.column + 1, 1, place.span, Qt::AlignLeft);
        } else {
            grid->addWidget(box, place.row, place.column + 1, 1, place.span);
        }
    }
    box(QStringLiteral("Nazione"))->setPlaceholderText(QStringLiteral("IT"));
    box(QStringLiteral("Provincia"))->setPlaceholderText(QStringLiteral("MI"));

    // The regimes by code and meaning; the popup is as wide as they need.
    m_regime = new QComboBox(frame);
    m_regime->setObjectName(QStringLiteral("cboRegimeFiscale"));
    for (const einvoice::RegimeFiscale& r : einvoice::regimiFiscali())
        m_regime->addItem(r.code + QStringLiteral(" - ") + r.meaning, r.code);
    m_regime->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_regime->setMinimumContentsLength(40);
    auto* regimeLabel = new QLabel(QStringLiteral("Regime Fiscale"), frame);
    regimeLabel->setObjectName(QStringLiteral("lblRegimeFiscale"));
    regimeLabel->setBuddy(m_regime);
    grid->addWidget(regimeLabel, 7, 0);
    grid->addWidget(m_regime, 7, 1, 1, 3);

    // The stamp duty of invoices without VAT, paid virtually by default.
    m_bollo = new QCheckBox(QStringLiteral("Bollo virtuale"), frame);
    m_bollo->setObjectName(QStringLiteral("chkBolloVirtuale"));
    grid->addWidget(m_bollo, 9, 1);

    m_problems = new QLabel(frame);
    m_problems->setObjectName(QStringLiteral("lblProblems"));
    m_problems->setWordWrap(true);
    m_problems->setTextFormat(Qt::PlainText);
    m_problems->setStyleSheet(QStringLiteral("color: #a40000;"));

    m_save = new QPushButton(QStringLiteral("Salva"), frame);
    m_save->setObjectName(QStringLiteral("cmdSave"));
    m_cancel = new QPushButton(QStringLiteral("Cancella"), frame);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* left = new QVBoxLayout;
    left->addWidget(makeLogo(frame), 0, Qt::AlignLeft);
    left->addLayout(grid);
    left->addWidget(m_problems);
    left->addStretch();
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* panel = new QHBoxLayout(frame);
    panel->addLayout(left, 1);
    panel->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);

    setDefaultButton(this, m_save);
    connect(m_save, &QPushButton::clicked, this, &CompanyScreen::save);
    connect(m_cancel, &QPushButton::clicked, this, [this] { nav::unload(this); });

    load();
    for (QLineEdit* b : m_boxes)
        connect(b, &QLineEdit::textChanged, this, &CompanyScreen::showProblems);
    connect(m_regime, &QComboBox::currentIndexChanged, this, &CompanyScreen::showProblems);
    showProblems();
    resize(620, sizeHint().height());
}

// Escape leaves without saving, as "Cancella" does.
void CompanyScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        nav::unload(this);
        return;
    }
    QWidget::keyPressEvent(event);
}

QLineEdit* CompanyScreen::addBox(const char* field)
{
    auto* b = new QLineEdit(this);
    b->setObjectName(QStringLiteral("txt") + QLatin1String(field));
    m_boxes.append(b);
    return b;
}

QLineEdit* CompanyScreen::box(const QString& field) const
{
    return findChild<QLineEdit*>(QStringLiteral("txt") + field);
}

void CompanyScreen::load()
{
    const einvoice::Company c = einvoice::loadCompany(*m_db);
    const QStringList values = {c.denominazione, c.partitaIva, c.codiceFiscale, c.indirizzo,
                                c.numeroCivico, c.cap, c.comune, c.provincia, c.nazione,
                                c.telefono, c.email, c.iban};
    // A longer stored text is shown whole, never cut to the box's limit.
    for (int i = 0; i < m_boxes.size(); ++i) {
        QLineEdit* b = m_boxes.at(i);
        b->setMaxLength(qMax(boxes[i].maxLength, int(values.at(i).size())));
        b->setText(values.at(i));
        b->setCursorPosition(0); // a long value reads from its start
    }
    // No regime yet is the ordinary one; a code the tables do not know is
    // kept as stored, so that nothing is lost, and shown as such.
    const QString regime = c.regimeFiscale.trimmed().toUpper();
    int index = m_regime->findData(regime.isEmpty() ? QStringLiteral("RF01") : regime);
    if (index < 0) {
        m_regime->addItem(regime, regime);
        index = m_regime->count() - 1;
    }
    m_regime->setCurrentIndex(index);
    m_bollo->setChecked(c.bolloVirtuale);
}

einvoice::Company CompanyScreen::typed() const
{
    auto v = [this](int i) { return m_boxes.at(i)->text().trimmed(); };
    return {v(0), v(1), v(2).toUpper(), v(3), v(4), v(5), v(6), v(7).toUpper(),
            v(8).isEmpty() ? QStringLiteral("IT") : v(8).toUpper(),
            m_regime->currentData().toString(), v(9), v(10),
            v(11).remove(QLatin1Char(' ')).toUpper(), m_bollo->isChecked()};
}

void CompanyScreen::showProblems()
{
    const QStringList problems = einvoice::companyProblems(typed());
    m_problems->setText(problems.isEmpty()
                            ? QString()
                            : QStringLiteral("Invoices cannot be exported until this is mended:\n- ")
                                  + problems.join(QStringLiteral("\n- ")));
    m_problems->setVisible(!problems.isEmpty());
}

// Incomplete data are saved all the same: the user may finish them later,
// and the export refuses until they are complete.
void CompanyScreen::save()
{
    try {
        einvoice::saveCompany(*m_db, typed());
    } catch (const DbError& e) {
        msg::failed(this, QStringLiteral("Saving the company data"), e.text());
        return;
    }
    nav::unload(this);
}

} // namespace velinor
