#pragma once

#include <QString>

namespace velinor {

// What tells the two document screens apart: orders/quotations and sales
// invoices share one design, one header table and one lines table.
struct DocumentKind {
    const char* screen;         // frmordini, frmFatture
    bool invoice;               // numbered 1, 2, 3...; orders get an "ORD" code
    const char* numberField;    // the header field that identifies the document
    const char* lineNumberField; // the line field that carries that number
    int lineNumberPosition;     // ...and its place among the line's fields
    const char* numberCaption;
    const char* dateCaption;
    const char* totalCaption;
    const char* archiveCaption;
    const char* archiveSource;
    int archiveColumns;         // the first ones of the archive column list
    const char* firstHeading;   // heading of the first archive column; null: its field
    int archiveKeyColumn;       // where the archive list shows the number
    const char* newLinesSource; // the working lines when a document is started
    const char* savedLinesSource; // the lines of an archived document, one ? for its number
    int openingLineColumns;     // the lines grid's layout before the first start
    const char* report;         // the report that prints the document
    const char* noun;           // names the document in messages
};

extern const DocumentKind orderKind;
extern const DocumentKind invoiceKind;

// The kind of the named screen; nullptr for any other name.
const DocumentKind* documentKind(const QString& screen);

} // namespace velinor
