#include "reports/report.h"

#include "common/numbertext.h"
#include "reports/sectionlayout.h"
#include "reports/textmetrics.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace velinor::reports {

namespace {

constexpr double lineHeight = 0.5;

Element shapeElement(ElementKind kind, double left, double top, double width, double height)
{
    Element e;
    e.kind = kind;
    e.left = left;
    e.top = top;
    e.width = width;
    e.height = height;
    return e;
}

Element textElement(ElementKind kind, double left, double top, double width, double height,
                    const QString& text, int font, Qt::Alignment align, FieldFormat format)
{
    Element e = shapeElement(kind, left, top, width, height > 0 ? height : lineHeight);
    e.text = text;
    e.font = font;
    e.align = align;
    e.format = format;
    return e;
}

// Where a field element of a section takes its value from.
struct Binding {
    int table = -1; // 0: the section's own row, 1: the parent row
    int column = -1;
};

class Layouter {
public:
    Layouter(const ReportDefinition& def, const QLocale& locale)
        : m_def(def), m_locale(locale), m_metrics(def.fonts)
    {
        m_left = pointsFromCm(def.marginLeft);
        m_top = pointsFromCm(def.marginTop);
        m_footerTop = pointsFromCm(def.pageHeight - def.marginBottom - def.pageFooter.height);
        m_doc.name = def.name;
        m_doc.pageSize = QSizeF(pointsFromCm(def.pageWidth), pointsFromCm(def.pageHeight));
        m_doc.fonts = def.fonts;
    }

    ReportDocument run(const ReportData& data)
    {
        startPage();
        if (data.grouped())
            runGroups(data);
        else
            runList(data.rows);
        place(m_def.reportFooter, {});
        endPage();
        const QString pages = QString::number(m_doc.pageCount());
        for (const auto& [page, item] : m_pageNumbers) {
            QString& text = m_doc.pages[page].items[item].text;
            text = text.arg(page + 1).arg(pages);
        }
        return std::move(m_doc);
    }

private:
    struct Source {
        const ReportRows* rows = nullptr;
        int row = -1;
    };
    struct Sources {
        Source own;
        Source parent;
    };

    void runList(const ReportRows& rows)
    {
        const std::vector<Binding> detail = bind(m_def.detail, {&rows});
        for (int r = 0; r < rows.size(); ++r)
            place(m_def.detail, {{&rows, r}, {}}, &detail);
    }

    void runGroups(const ReportData& data)
    {
        const ReportRows& parents = data.rows;
        const ReportRows& children = data.children;
        const int parentKey = parents.fieldIndex(data.parentKey);
        const int childKey = children.fieldIndex(data.childKey);
        QHash<QString, std::vector<int>> childrenOf;
        if (parentKey >= 0 && childKey >= 0)
            for (int c = 0; c < children.size(); ++c)
                childrenOf[children.values[c].at(childKey).toString()].push_back(c);

        const std::vector<Binding> header = bind(m_def.groupHeader, {&parents});
        const std::vector<Binding> footer = bind(m_def.groupFooter, {&parents});
        const std::vector<Binding> detail = bind(m_def.detail, {&children, &parents});
        for (int p = 0; p < parents.size(); ++p) {
            const std::vector<int> none;
            const auto found = parentKey >= 0 ? childrenOf.constFind(parents.values[p].at(parentKey).toString())
                                              : childrenOf.constEnd();
            const std::vector<int>& mine = found != childrenOf.constEnd() ? *found : none;
            // Keep the header with its first line.
            const double keep = mine.empty() ? 0 : arrange(m_def.detail, {{&children, mine.front()}, {&parents, p}}, &detail).height;
            const Sources group{{&parents, p}, {}};
            place(m_def.groupHeader, group, &header, keep);
            if (m_def.repeatGroupHeader)
                m_group = Group{&group, &header};
            for (int c : mine)
                place(m_def.detail, {{&children, c}, {&parents, p}}, &detail);
            place(m_def.groupFooter, group, &footer);
            m_group = Group{};
        }
    }

    std::vector<Binding> bind(const Section& section, const std::vector<const ReportRows*>& tables) const
    {
        std::vector<Binding> bindings(section.elements.size());
        for (size_t i = 0; i < section.elements.size(); ++i) {
            const Element& e = section.elements[i];
            if (e.kind != ElementKind::Field)
                continue;
            for (size_t t = 0; t < tables.size(); ++t) {
                const int column = tables[t]->fieldIndex(e.text);
                if (column >= 0) {
                    bindings[i].table = static_cast<int>(t);
                    bindings[i].column = column;
                    break;
                }
            }
        }
        return bindings;
    }

    // The report header opens the first page, above the page header.
    void startPage()
    {
        m_doc.pages.emplace_back();
        m_y = m_top;
        if (m_doc.pages.size() == 1)
            put(m_def.reportHeader, {}, nullptr);
        put(m_def.pageHeader, {}, nullptr);
        m_bodyTop = m_y;
        if (m_group.sources)
            put(m_def.groupHeader, *m_group.sources, m_group.bindings);
    }

    void endPage()
    {
        m_y = m_footerTop;
        put(m_def.pageFooter, {}, nullptr);
    }

    // Places a section at the current height, on a new page when it (and
    // `keep` more points) would run into the page footer.
    void place(const Section& section, const Sources& sources,
               const std::vector<Binding>* bindings = nullptr, double keep = 0)
    {
        if (section.height <= 0)
            return;
        ArrangedSection arranged = arrange(section, sources, bindings);
        if (m_y + arranged.height + keep > m_footerTop + 0.01 && m_y > m_bodyTop) {
            endPage();
            startPage();
        }
        append(std::move(arranged));
    }

    void put(const Section& section, const Sources& sources, const std::vector<Binding>* bindings)
    {
        if (section.height > 0)
            append(arrange(section, sources, bindings));
    }

    ArrangedSection arrange(const Section& section, const Sources& sources,
                            const std::vector<Binding>* bindings) const
    {
        std::vector<QString> texts(section.elements.size());
        for (size_t i = 0; i < section.elements.size(); ++i) {
            const Element& e = section.elements[i];
            if (e.kind == ElementKind::Field)
                texts[i] = bindings ? valueOf((*bindings)[i], sources, e.format) : QString();
            else
                texts[i] = e.text;
        }
        return arrangeSection(section, texts, m_metrics, int(m_def.fonts.size()), m_left);
    }

    // The section's items at the current height.
    void append(ArrangedSection arranged)
    {
        std::vector<ReportItem>& items = m_doc.pages.back().items;
        const size_t page = m_doc.pages.size() - 1;
        for (size_t i : arranged.pageNumbers)
            m_pageNumbers.emplace_back(page, items.size() + i);
        for (ReportItem& item : arranged.items) {
            item.rect.translate(0, m_y);
            items.push_back(std::move(item));
        }
        m_y += arranged.height;
    }

    QString valueOf(const Binding& b, const Sources& sources, FieldFormat format) const
    {
        const Source& s = b.table == 0 ? sources.own : sources.parent;
        if (b.table < 0 || !s.rows)
            return {};
        return formatValue(s.rows->values[static_cast<size_t>(s.row)].at(b.column), format, m_locale);
    }

    const ReportDefinition& m_def;
    const QLocale& m_locale;
    const TextMetrics m_metrics;
    ReportDocument m_doc;
    std::vector<std::pair<size_t, size_t>> m_pageNumbers; // page, item
    struct Group {
        const Sources* sources = nullptr;
        const std::vector<Binding>* bindings = nullptr;
    };
    Group m_group; // the group that a new page continues
    double m_left = 0, m_top = 0, m_footerTop = 0, m_bodyTop = 0, m_y = 0;
};

} // namespace

Section& Section::label(double left, double top, double width, const QString& text, int font,
                        Qt::Alignment align, double height)
{
    elements.push_back(textElement(ElementKind::Label, left, top, width, height, text, font, align,
                                   FieldFormat::Text));
    return *this;
}

Section& Section::field(double left, double top, double width, const QString& name, int font,
                        FieldFormat format, Qt::Alignment align, double height)
{
    elements.push_back(textElement(ElementKind::Field, left, top, width, height, name, font, align, format));
    return *this;
}

Section& Section::rule(double left, double top, double width, double height)
{
    elements.push_back(shapeElement(ElementKind::Rule, left, top, width, height));
    return *this;
}

Section& Section::frame(double left, double top, double width, double height)
{
    elements.push_back(shapeElement(ElementKind::Frame, left, top, width, height));
    return *this;
}

Section& Section::pageNumber(double left, double top, double width, const QString& pattern, int font,
                             Qt::Alignment align)
{
    elements.push_back(textElement(ElementKind::PageNumber, left, top, width, 0, pattern, font, align,
                                   FieldFormat::Text));
    return *this;
}

int ReportRows::fieldIndex(const QString& name) const
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot > 0)
        return fieldIndex(name.mid(dot + 1));
    return -1;
}

void ReportRows::removeDuplicates()
{
    QSet<QString> seen;
    std::vector<QVariantList> kept;
    kept.reserve(values.size());
    for (QVariantList& row : values) {
        // Type and text of every field, unambiguously joined.
        QString key;
        for (const QVariant& v : row) {
            const QString text = v.isNull() ? QString() : v.toString();
            key += QString::number(v.isNull() ? -1 : v.typeId()) + QLatin1Char(':') +
                   QString::number(text.size()) + QLatin1Char(':') + text;
        }
        if (!seen.contains(key)) {
            seen.insert(key);
            kept.push_back(std::move(row));
        }
    }
    values = std::move(kept);
}

QStringList ReportDocument::texts(int page) const
{
    QStringList t;
    for (const ReportItem& item : pages.at(static_cast<size_t>(page)).items)
        if (item.kind == ReportItem::Text)
            t << item.text;
    return t;
}

double pointsFromCm(double cm) { return cm * 72.0 / 2.54; }

QString formatValue(const QVariant& value, FieldFormat format, const QLocale& locale)
{
    if (value.isNull())
        return {};
    switch (format) {
    case FieldFormat::Text:
        return value.toString();
    case FieldFormat::Number:
    case FieldFormat::Money: {
        const auto text = format == FieldFormat::Money ? formatMoney : formatNumber;
        // Text that is not a number prints as it stands.
        if (value.typeId() == QMetaType::QString) {
            const std::optional<double> n = parseNumber(value.toString(), locale);
            return n ? text(*n, locale) : value.toString();
        }
        bool ok = false;
        const double d = value.toDouble(&ok);
        return ok ? text(d, locale) : value.toString();
    }
    case FieldFormat::Date: {
        QDate date = value.toDate();
        if (!date.isValid())
            date = parseDate(value.toString(), locale).value_or(QDate());
        return date.isValid() ? formatDate(date, locale) : value.toString();
    }
    case FieldFormat::Auto:
        break;
    }
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return formatNumber(value.toDouble(), locale);
    case QMetaType::QDate:
        return formatDate(value.toDate(), locale);
    case QMetaType::QDateTime:
        return formatDate(value.toDateTime().date(), locale);
    default:
        return value.toString();
    }
}

ReportDocument layoutReport(const ReportDefinition& definition, const ReportData& data,
                            const QLocale& locale)
{
    return Layouter(definition, locale).run(data);
}

} // namespace velinor::reports
