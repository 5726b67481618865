#pragma once

// The report engine, in two phases.
//
// 1. Layout (this header; no widgets, only the fonts' own measures): a
//    ReportDefinition is laid out against its ReportData into a
//    ReportDocument, pages of text, line and box items in points from the
//    paper's top left corner.
// 2. Paint (reportpaint.h): the same pages are painted on any paged device.
//
// Defining a report: positions and sizes are centimetres from the section's
// top left corner (inside the page margins); every section has a height.
//
//     ReportDefinition def;
//     def.name = "DataReport9";
//     def.fonts = {{"Arial", 9}, {"Verdana", 14, true}};
//     def.pageHeader.height = 7;
//     def.pageHeader.label(6, 5.5, 9, "ORDINE / PREVENTIVO", 1).rule(0, 6.5, 15);
//     def.groupHeader.height = 4.2;
//     def.groupHeader.label(0, 0, 2, "Numero Ordine").field(2, 0, 5, "Ydummy.Numero Ordine");
//     def.detail.height = 0.5;
//     def.detail.field(0, 0, 4, "Descrizione Articolo")
//               .field(4, 0, 1, "Quantità", 0, FieldFormat::Number);
//     def.groupFooter.height = 5;
//     ...
//
// A parent/child data set: ReportData::rows holds the parent rows and
// ReportData::children the child rows, related by parentKey = childKey
// (compared as text). Each parent row prints the group header, then the
// detail section once per child row (in the children's order), then the
// group footer. Detail fields are looked up in the child row first, then in
// its parent row. Without children the detail prints once per row and the
// group sections are not used. A field name "Table.Field" that the rows do
// not hold as such is looked up by its bare name "Field"; a query that joins
// tables with equal field names tells them apart by naming its columns so
// (AS "Ydummy.Numero Ordine"). removeDuplicates() gives DISTINCT rows.
// Values print by their type (see FieldFormat); dates stored as text need
// FieldFormat::Date.
//
// Report header prints once on the first page, above the page header; page
// header and footer on every page; the report footer once at the end. A
// section that does not fit above the page footer starts a new page; a
// group header also moves when its first detail line would not fit under it,
// and with repeatGroupHeader it prints again under the page header of every
// later page its group reaches. Text wider than its element wraps inside it,
// at its own line breaks too: the element grows by the lines it needs, and
// what stands below it moves down only as far as it must (frames and
// vertical rules stretch over it), so the section grows.
// A Number or Money field never wraps: the painter sets it smaller instead,
// down to half size, or else prints "###". A page number element prints
// "%1" as the page's number and "%2" as the number of pages.

#include <QLocale>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace velinor::reports {

struct ReportFont {
    QString family = QStringLiteral("Arial");
    double pointSize = 9;
    bool bold = false;
    bool italic = false;
};

// How a bound value becomes text. Auto: numbers in the locale's general
// number format, dates as the locale's short date, anything else as it is.
// Money: a number with at least two decimals ("10,50").
enum class FieldFormat { Auto, Text, Number, Date, Money };

enum class ElementKind { Label, Field, Rule, Frame, PageNumber };

struct Element {
    ElementKind kind = ElementKind::Label;
    double left = 0, top = 0, width = 0, height = 0; // cm
    QString text; // label text, or field name
    int font = 0; // index into ReportDefinition::fonts
    Qt::Alignment align = Qt::AlignLeft;
    FieldFormat format = FieldFormat::Auto;
};

struct Section {
    double height = 0; // cm; 0 leaves the section out
    std::vector<Element> elements;

    // Text elements are one line high (0.5 cm) unless a height is given.
    Section& label(double left, double top, double width, const QString& text, int font = 0,
                   Qt::Alignment align = Qt::AlignLeft, double height = 0.5);
    Section& field(double left, double top, double width, const QString& name, int font = 0,
                   FieldFormat format = FieldFormat::Auto, Qt::Alignment align = Qt::AlignLeft,
                   double height = 0.5);
    // A horizontal rule of that width; a vertical one when width is 0.
    Section& rule(double left, double top, double width, double height = 0);
    Section& frame(double left, double top, double width, double height);
    // "Pagina %1 di %2", say: the page's number and the number of pages.
    Section& pageNumber(double left, double top, double width, const QString& pattern, int font = 0,
                        Qt::Alignment align = Qt::AlignLeft);
};

struct ReportDefinition {
    QString name;
    double pageWidth = 21.0, pageHeight = 29.7; // cm, A4 portrait
    double marginLeft = 1.5, marginTop = 1.5, marginRight = 1.5, marginBottom = 1.5;
    std::vector<ReportFont> fonts{ReportFont{}};
    // The group header again at the top of every later page of its group.
    bool repeatGroupHeader = false;
    Section reportHeader, pageHeader, groupHeader, detail, groupFooter, pageFooter, reportFooter;
};

// A table of rows with named fields.
struct ReportRows {
    QStringList fields;
    std::vector<QVariantList> values;

    int size() const { return static_cast<int>(values.size()); }
    // Case-insensitive; "Table.Field" falls back to "Field". -1 when unknown.
    int fieldIndex(const QString& name) const;
    // Keeps the first of rows that agree in every field, in order.
    void removeDuplicates();
};

struct ReportData {
    ReportRows rows;
    ReportRows children; // empty fields: a list report without groups
    QString parentKey, childKey;

    bool grouped() const { return !children.fields.isEmpty(); }
};

// The laid-out report, in points (1/72 inch) from the paper's top left.
struct ReportItem {
    enum Kind : quint8 { Text, Line, Box };
    Kind kind = Text;
    quint8 font = 0;
    Qt::Alignment align = Qt::AlignLeft;
    // A number too wide for its cell is set smaller, or else printed "###",
    // since a cut number reads as another number.
    bool shrink = false;
    QRectF rect; // a line runs from its top left to its bottom right corner
    QString text;
};

struct ReportPage {
    std::vector<ReportItem> items;
};

struct ReportDocument {
    QString name;
    // What a file of it is called: "Fattura 12 2026-12-09". Empty: the
    // report's name and the day.
    QString fileTitle;
    QSizeF pageSize; // points
    std::vector<ReportFont> fonts;
    std::vector<ReportPage> pages;

    int pageCount() const { return static_cast<int>(pages.size()); }
    // Every text of a page, in placing order; for checks and tests.
    QStringList texts(int page) const;
};

double pointsFromCm(double cm);

// The value of a field as the report prints it.
QString formatValue(const QVariant& value, FieldFormat format, const QLocale& locale = QLocale());

ReportDocument layoutReport(const ReportDefinition& definition, const ReportData& data,
                            const QLocale& locale = QLocale());

} // namespace velinor::reports
