#include "documents/documentscreen.h"

#include "common/messagebox.h"
#include "common/numbertext.h"
#include "data/connection.h"
#include "data/datagrid.h"
#include "data/datasource.h"
#include "data/fieldbinding.h"
#include "documents/documentkind.h"
#include "documents/documenttotals.h"
#include "documents/lineexemption.h"
#include "documents/linesgrid.h"

#include <QLineEdit>

#include <cmath>

// The lines of a document being entered: picked from the article list,
// recomputed as they are typed, and summed into the header's totals.
namespace velinor {

namespace {

// Positions of a line's fields, in the table order of Odummy.
enum LinePosition {
    lineDescription = 1,
    lineQuantity = 2,
    linePrice = 3,
    lineTaxable = 4,
    lineVat = 5,
    lineTotal = 6,
    lineDate = 10,
    lineCustomer = 11,
    lineArticle = 13,
    lineDdt = 14,
    lineDdtDate = 15,
    lineUnit = 16,
};

// Positions of the article pick list's columns.
enum ArticlePosition {
    articleDescription = 0,
    articleUnit = 2,
    articleCode = 3,
    articleVat = 9,
    articlePrice1 = 10,
};

} // namespace

QString DocumentScreen::lineCell(int position) const { return m_linesGrid->cellText(position); }

void DocumentScreen::setLineCell(int position, const QString& text)
{
    m_linesGrid->setCellText(position, text);
}

void DocumentScreen::addLine()
{
    if (!m_editing)
        return;
    m_linesGrid->endEdit();
    try {
        m_lines->addNew();
    } catch (const DbError& e) {
        failed(QStringLiteral("Adding a line to the %1"), e.text());
    }
}

// Fills the current line from the article under the list's cursor, priced
// by the price list of the customer under the customer list's cursor.
void DocumentScreen::pickArticle()
{
    if (!m_editing || !m_articles->hasCurrent())
        return;
    if (!m_lines->hasCurrent())
        addLine();
    if (!m_lines->hasCurrent())
        return;
    m_linesGrid->endEdit();
    const QString list = m_priceList->text();
    const int price = list == QLatin1String("2")   ? articlePrice1 + 1
                      : list == QLatin1String("3") ? articlePrice1 + 2
                                                   : articlePrice1;
    auto article = [this](int column) { return m_articleList->cellText(column); };
    try {
        setLineCell(lineDescription, article(articleDescription));
        setLineCell(linePrice, article(price));
        setLineCell(lineVat, article(articleVat));
        setLineCell(lineDate, formatDate(QDate::currentDate()));
        setLineCell(lineCustomer, m_customerCode->text());
        setLineCell(lineArticle, article(articleCode));
        // The header's number as far as it is one: saving gives every line
        // the number the document is stored under.
        const QVariant number = documentNumber();
        setLineCell(m_kind.lineNumberPosition, number.isNull() ? QString() : number.toString());
        setLineCell(lineDdt, m_ddt->text());
        setLineCell(lineDdtDate, m_ddtDate->text());
        setLineCell(lineUnit, article(articleUnit));
        const int natura = m_lines->fieldIndex(QStringLiteral("Natura"));
        const auto exemption = documents::lineExemption(m_connection.database(), m_customerCode->text());
        // An ordinary sale leaves the field as it was: empty.
        if (natura >= 0 && (exemption || !lineCell(natura).isEmpty()))
            setLineCell(natura, exemption.value_or(QString()));
        if (natura >= 0 && exemption)
            setLineCell(lineVat, QStringLiteral("0"));
    } catch (const DbError& e) {
        failed(QStringLiteral("Filling the line of the %1"), e.text());
    }
}

// Imponibile = Prezzo x Quantità; Totale Riga = Imponibile + Imponibile x
// Iva / 100, from the taxable amount as written. A cell that is no number
// leaves the rest as it was.
void DocumentScreen::recomputeLine()
{
    if (!m_editing || !m_lines->hasCurrent())
        return;
    const auto price = parseNumber(lineCell(linePrice));
    const auto quantity = parseNumber(lineCell(lineQuantity));
    if (!price || !quantity || !std::isfinite(*price * *quantity))
        return;
    const QString taxableText = formatNumber(*price * *quantity);
    setLineCell(lineTaxable, taxableText);
    const auto taxable = parseNumber(taxableText);
    const auto rate = parseNumber(lineCell(lineVat));
    if (!taxable || !rate)
        return;
    double vat = *taxable * *rate;
    vat = vat / 100.0;
    const double total = *taxable + vat;
    if (std::isfinite(total))
        setLineCell(lineTotal, formatNumber(total));
}

// The totals by VAT rate of the lines' cells as shown, in cents. Totals too
// large to hold are refused, naming the line that made them so; the boxes
// are then left as they were.
bool DocumentScreen::computeTotals()
{
    if (!m_editing)
        return true;
    const GridModel* model = m_linesGrid->gridModel();
    const int taxableField = model->fieldOf(lineTaxable);
    if (const auto row = documents::lineBeyondTotals(*m_lines, taxableField, model->fieldOf(lineVat))) {
        msg::critical(this, QStringLiteral("The amounts of line %1 (%2 %3) make the totals too "
                                           "large to hold: correct that line.")
                                .arg(*row + 1)
                                .arg(m_lines->caption(taxableField), m_lines->text(*row, taxableField)));
        return false;
    }
    const auto totals = documents::headerTotals(*m_lines, taxableField, model->fieldOf(lineVat));
    m_taxable->setText(totals.taxable);
    m_total->setText(totals.total);
    m_vat->setText(totals.tax);
    return true;
}

bool DocumentScreen::writeCurrentLine()
{
    try {
        if (m_lines->hasChanges())
            m_lines->update();
    } catch (const DbError& e) {
        failed(QStringLiteral("Saving the %1"), e.text());
        return false;
    }
    return true;
}

// The number the header will be stored under: an invoice's a whole number
// of at least 1, an order's its code. Null when it is neither.

} // namespace velinor
