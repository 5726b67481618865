#include "reports/reportwindow.h"

#include "common/exportfolder.h"
#include "common/messagebox.h"
#include "reports/reportpaint.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QHash>
#include <QLabel>
#include <QPdfWriter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>

namespace velinor::reports {

namespace {

QHash<QString, QPointer<ReportWindow>>& openWindows()
{
    static QHash<QString, QPointer<ReportWindow>> windows;
    return windows;
}

QPageLayout paperOf(const ReportDocument& document)
{
    return QPageLayout(QPageSize(document.pageSize, QPageSize::Point), QPageLayout::Portrait, QMarginsF());
}

} // namespace

ReportWindow* ReportWindow::find(const QString& name) { return openWindows().value(name); }

ReportWindow* ReportWindow::open(ReportDocument document)
{
    ReportWindow* window = find(document.name);
    if (window) {
        window->setDocument(std::move(document));
    } else {
        const QString name = document.name;
        window = new ReportWindow(std::move(document));
        openWindows().insert(name, window);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

ReportWindow::ReportWindow(ReportDocument document) : m_document(std::move(document))
{
    setObjectName(m_document.name);
    setWindowTitle(m_document.name);
    setAttribute(Qt::WA_DeleteOnClose);

    // At the printer's resolution, so that the preview cuts texts where paper does.
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setPageLayout(paperOf(m_document));
    m_preview = new QPrintPreviewWidget(m_printer.get(), this);
    m_preview->setObjectName(QStringLiteral("preview"));
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &ReportWindow::paint);
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this, &ReportWindow::showPageNumber);

    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto add = [this, bar](const QString& text, const char* name, const QKeySequence& key, auto slot) {
        QAction* a = bar->addAction(text);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add(QStringLiteral("Adatta larghezza"), "actFitWidth", QKeySequence(), [this] { m_preview->fitToWidth(); });
    add(QStringLiteral("Pagina intera"), "actFitPage", QKeySequence(), [this] { m_preview->fitInView(); });
    add(QStringLiteral("Zoom +"), "actZoomIn", QKeySequence::ZoomIn, [this] { m_preview->zoomIn(); });
    add(QStringLiteral("Zoom -"), "actZoomOut", QKeySequence::ZoomOut, [this] { m_preview->zoomOut(); });
    bar->addSeparator();
    add(QStringLiteral("|<"), "actFirst", QKeySequence(Qt::CTRL | Qt::Key_Home),
        [this] { m_preview->setCurrentPage(1); });
    add(QStringLiteral("<"), "actPrevious", QKeySequence(Qt::Key_PageUp),
        [this] { m_preview->setCurrentPage(m_preview->currentPage() - 1); });
    m_page = new QSpinBox(bar);
    m_page->setObjectName(QStringLiteral("spnPage"));
    m_page->setMinimum(1);
    m_page->setKeyboardTracking(false);
    bar->addWidget(m_page);
    m_pages = new QLabel(bar);
    m_pages->setObjectName(QStringLiteral("lblPages"));
    bar->addWidget(m_pages);
    connect(m_page, &QSpinBox::valueChanged, m_preview, &QPrintPreviewWidget::setCurrentPage);
    add(QStringLiteral(">"), "actNext", QKeySequence(Qt::Key_PageDown),
        [this] { m_preview->setCurrentPage(m_preview->currentPage() + 1); });
    add(QStringLiteral(">|"), "actLast", QKeySequence(Qt::CTRL | Qt::Key_End),
        [this] { m_preview->setCurrentPage(m_preview->pageCount()); });
    bar->addSeparator();
    add(QStringLiteral("Stampa..."), "actPrint", QKeySequence::Print, [this] { print(); });
    add(QStringLiteral("Esporta PDF..."), "actExportPdf", QKeySequence(), [this] { askExportPdf(); });
    bar->addSeparator();
    add(QStringLiteral("Chiudi"), "actClose", QKeySequence(Qt::Key_Escape), [this] { close(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_preview, 1);
    m_preview->fitToWidth();
    // A page's width readable, as tall as the screen allows.
    const QRect screen = this->screen()->availableGeometry();
    resize(std::min(820, screen.width()), std::min(900, screen.height() * 9 / 10));
}

ReportWindow::~ReportWindow() = default;

void ReportWindow::setDocument(ReportDocument document)
{
    m_document = std::move(document);
    m_printer->setPageLayout(paperOf(m_document));
    m_preview->updatePreview();
}

void ReportWindow::paint(QPrinter* printer) { paintReport(printer, m_document); }

bool ReportWindow::exportPdf(const QString& path)
{
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setTitle(m_document.name);
    writer.setCreator(QStringLiteral("Velinor"));
    return paintReport(&writer, m_document);
}

void ReportWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_document.name);
    printer.setPageLayout(paperOf(m_document));
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, m_document.pageCount());
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!paintReport(&printer, m_document))
        msg::failed(this, QStringLiteral("Printing the report"), QStringLiteral("the printer cannot be used."));
}

QString ReportWindow::proposedPdfPath() const
{
    const QString title = !m_document.fileTitle.isEmpty()
                              ? m_document.fileTitle
                              : QStringLiteral("%1 %2").arg(m_document.name,
                                                            QDate::currentDate().toString(Qt::ISODate));
    return proposedExportPath(title, QStringLiteral("pdf"));
}

void ReportWindow::askExportPdf()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Esporta PDF"),
                                                      proposedPdfPath(), QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!exportPdf(path)) {
        msg::failed(this, QStringLiteral("Exporting the report"),
                    QStringLiteral("the file \"%1\" cannot be written.").arg(QDir::toNativeSeparators(path)));
        return;
    }
    rememberExportFolder(path);
}

void ReportWindow::showPageNumber()
{
    const int count = std::max(1, m_preview->pageCount());
    const QSignalBlocker block(m_page);
    m_page->setMaximum(count);
    m_page->setValue(m_preview->currentPage());
    m_pages->setText(QStringLiteral(" di %1 ").arg(count));
}

void ReportWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (openWindows().value(objectName()) == this)
        openWindows().remove(objectName());
    if (auto onClose = std::exchange(m_onClose, {}))
        onClose();
}

} // namespace velinor::reports
