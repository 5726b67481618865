#pragma once

#include "reports/report.h"

#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QSpinBox;

namespace velinor::reports {

// The window of one report, named and titled after it: a print preview of
// its pages with zoom, page navigation, print and PDF export. At most one
// window per report; closing it is the report's termination.
class ReportWindow : public QWidget {
    Q_OBJECT
public:
    // The open window of that report, or nullptr.
    static ReportWindow* find(const QString& name);
    // Shows the document in its report's window, non-modal; an open window
    // of the same report shows the new document instead.
    static ReportWindow* open(ReportDocument document);

    ~ReportWindow() override;

    const ReportDocument& document() const { return m_document; }
    QPrintPreviewWidget* preview() const { return m_preview; }
    // Runs once, when the window closes.
    void setOnClose(std::function<void()> onClose) { m_onClose = std::move(onClose); }

    // Paints every page on the printer; the preview's paintRequested.
    void paint(QPrinter* printer);
    // Writes the report to a PDF file; false when the file cannot be written.
    bool exportPdf(const QString& path);
    // Where "Esporta PDF..." proposes to write it: the document's own name,
    // in the export folder.
    QString proposedPdfPath() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    explicit ReportWindow(ReportDocument document);
    void setDocument(ReportDocument document);
    void print();
    void askExportPdf();
    void showPageNumber();

    ReportDocument m_document;
    QPrintPreviewWidget* m_preview;
    std::unique_ptr<QPrinter> m_printer; // the preview's
    QSpinBox* m_page;
    QLabel* m_pages;
    std::function<void()> m_onClose;
};

} // namespace velinor::reports
