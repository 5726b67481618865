#include "masterdata/maintenancescreen.h"

#include "app/navigation.h"
#include "common/defaultbutton.h"
#include "common/focusafterdelete.h"
#include "common/logo.h"
#include "common/messagebox.h"
#include "common/textselect.h"
#include "data/datagrid.h"
#include "data/datasource.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velinor {

MaintenanceScreen::MaintenanceScreen(const Names& names, QWidget* parent)
    : QWidget(parent), m_names(names)
{
    setObjectName(names.screen);
    setWindowTitle(names.caption);

    m_records = new DataSource(this);
    m_records->setObjectName(names.source);
    m_records->setSource(names.sourceText);

    m_frame = new QGroupBox(this);
    m_frame->setObjectName(QStringLiteral("Frame1"));

    m_new = makeButton(names.newCaption, "cmdAdd", m_frame);
    m_modify = makeButton(QStringLiteral("Aggiorna"), "cmdUpdate", m_frame);
    m_save = makeButton(QStringLiteral("Salva"), "cmdSave", m_frame);
    m_cancel = makeButton(QStringLiteral("Cancella"), "cmdCancel", m_frame);
    m_delete = makeButton(QStringLiteral("Elimina"), "cmdDelete", m_frame);
    m_back = makeButton(names.backCaption, "cmdBack", m_frame);
    m_save->setEnabled(false);
    m_cancel->setEnabled(false);

    setDefaultButton(this, m_new);
    connect(m_new, &QPushButton::clicked, this, &MaintenanceScreen::addNew);
    connect(m_modify, &QPushButton::clicked, this, &MaintenanceScreen::modify);
    connect(m_save, &QPushButton::clicked, this, &MaintenanceScreen::save);
    connect(m_cancel, &QPushButton::clicked, this, [this] { nav::restart(this); });
    connect(m_delete, &QPushButton::clicked, this, &MaintenanceScreen::remove);
    connect(m_back, &QPushButton::clicked, this, [this] { nav::go(this, m_names.back); });
}

void MaintenanceScreen::setRecordList(DataGrid* list, bool countGoverned)
{
    m_list = list;
    m_countGovernsList = countGoverned;
    connect(list, &DataGrid::failed, this, [this](const QString& why) {
        failed(QStringLiteral("Writing the changes of the ") + m_names.record, why);
    });
}

void MaintenanceScreen::setReportButton(QPushButton* button) { m_report = button; }

void MaintenanceScreen::lockWhileBrowsing(QLineEdit* box)
{
    m_locked << box;
    box->setReadOnly(!m_editing);
}

void MaintenanceScreen::enableWhileEditing(QWidget* control)
{
    m_editOnly << control;
    control->setEnabled(m_editing);
}

void MaintenanceScreen::enableWhileBrowsing(QWidget* control)
{
    m_browseOnly << control;
    control->setEnabled(!m_editing);
}

QVBoxLayout* MaintenanceScreen::buttonColumn()
{
    auto* column = new QVBoxLayout;
    for (QPushButton* b : {m_new, m_modify, m_save, m_cancel, m_delete, m_back})
        column->addWidget(b);
    column->addStretch();
    return column;
}

QPushButton* MaintenanceScreen::makeButton(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QLabel* MaintenanceScreen::makeCaption(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromUtf8(name));
    return label;
}

void MaintenanceScreen::layOutBeside(QLayout* boxes, DataGrid* list)
{
    auto* left = new QVBoxLayout;
    left->addWidget(makeLogo(m_frame), 0, Qt::AlignLeft);
    left->addLayout(boxes);
    left->addWidget(list, 1);
    auto* panel = new QHBoxLayout(m_frame);
    panel->addLayout(left, 1);
    panel->addLayout(buttonColumn());
    (new QVBoxLayout(this))->addWidget(m_frame);
}

void MaintenanceScreen::greyBackground(QLineEdit* box)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Base, QColor(224, 224, 224));
    box->setPalette(p);
}

void MaintenanceScreen::failed(const QString& operation, const QString& why)
{
    msg::failed(this, operation, why);
}

// An activation while a record is being edited (for instance when a message
// box closes) must not bring back the browse-state buttons.
bool MaintenanceScreen::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && !m_editing)
        checkRecords();
    return QWidget::event(event);
}

void MaintenanceScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_editing)
        checkRecords();
}

// Unload: a record being added or changed and not saved is dropped.
void MaintenanceScreen::closeEvent(QCloseEvent* event)
{
    m_records->cancelBatch();
    QWidget::closeEvent(event);
}

void MaintenanceScreen::addNew()
{
    try {
        m_records->addNew();
    } catch (const DbError& e) {
        failed(QStringLiteral("Adding ") + m_names.aRecord, e.text());
        return;
    }
    m_keyAsFound.reset();
    setEditMode();
    added();
}

void MaintenanceScreen::modify()
{
    if (m_keyBox)
        m_keyAsFound = m_keyBox->text();
    setEditMode();
    modifying();
}

// The saved record is read back in the list's order, so that it stands
// where the user will look for it, and stays the current one.
void MaintenanceScreen::save()
{
    if (!checkBeforeWrite())
        return;
    try {
        m_records->updateBatch();
    } catch (const DbError& e) {
        failed(QStringLiteral("Saving the ") + m_names.record, e.text());
        if (m_editFocus)
            m_editFocus->setFocus();
        return;
    }
    try {
        m_records->refreshKeepingCurrent();
    } catch (const DbError& e) {
        failed(QStringLiteral("Reading the saved records again"), e.text());
    }
    setBrowseMode();
    checkRecords();
    m_keyAsFound.reset();
    focusNextWork();
    written();
}

bool MaintenanceScreen::deleteRecord()
{
    m_records->deleteCurrent();
    return true;
}

void MaintenanceScreen::remove()
{
    try {
        if (!deleteRecord())
            return;
    } catch (const DbError& e) {
        failed(QStringLiteral("Deleting the ") + m_names.record, e.text());
        return;
    }
    checkRecords();
    focusNextWork();
}

// After a save or a delete the focus leaves the button that was pressed
// (never for the back button, which a disabled neighbour would hand it to):
// the record list, or "Nuovo" when the list is empty, so Enter starts the
// next record and never repeats the last action.
void MaintenanceScreen::focusNextWork()
{
    if (m_list)
        focusAfterDelete(m_list, m_new);
    else
        m_new->setFocus();
}

void MaintenanceScreen::setEditMode()
{
    m_editing = true;
    m_new->setEnabled(false);
    m_modify->setEnabled(false);
    m_save->setEnabled(true);
    m_cancel->setEnabled(true);
    m_delete->setEnabled(false);
    if (m_report)
        m_report->setEnabled(false);
    for (QWidget* w : m_browseOnly)
        w->setEnabled(false);
    for (QWidget* w : m_editOnly)
        w->setEnabled(true);
    for (QLineEdit* box : m_locked)
        box->setReadOnly(false);
    if (m_editFocus)
        selectWholeText(m_editFocus);
    if (m_list)
        m_list->setEnabled(false); // the current record cannot change while edited
}

void MaintenanceScreen::setBrowseMode()
{
    m_editing = false;
    if (m_list)
        m_list->refresh();
    m_new->setEnabled(true);
    m_modify->setEnabled(true);
    m_save->setEnabled(false);
    m_cancel->setEnabled(false);
    if (m_report)
        m_report->setEnabled(true);
    for (QWidget* w : m_browseOnly)
        w->setEnabled(true);
    for (QWidget* w : m_editOnly)
        w->setEnabled(false);
    if (m_list)
        m_list->setEnabled(true);
    for (QLineEdit* box : m_locked)
        box->setReadOnly(true);
}

// The record-count rule: what needs a record is usable only while there is one.
void MaintenanceScreen::checkRecords()
{
    if (m_list)
        m_list->refresh();
    const bool any = m_records->recordCount() != 0;
    m_delete->setEnabled(any);
    m_modify->setEnabled(any);
    if (m_report)
        m_report->setEnabled(any);
    if (m_list && m_countGovernsList)
        m_list->setEnabled(any);
    if (m_browseFocus)
        m_browseFocus->setFocus();
}

} // namespace velinor
