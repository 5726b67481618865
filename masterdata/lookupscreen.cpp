#include "masterdata/lookupscreen.h"

#include "app/navigation.h"
#include "common/defaultbutton.h"
#include "common/focusafterdelete.h"
#include "common/logo.h"
#include "common/messagebox.h"
#include "common/numbertext.h"
#include "common/textselect.h"
#include "data/datagrid.h"
#include "data/datasource.h"
#include "data/fieldbinding.h"
#include "masterdata/lookupkinds.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velinor {

namespace {

QPushButton* makeButton(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

LookupScreen::LookupScreen(const LookupKind& kind, QWidget* parent)
    : QWidget(parent), m_kind(kind)
{
    setObjectName(QLatin1String(kind.screen));
    setWindowTitle(QString::fromUtf8(kind.caption));
    const QString keyField = QLatin1String(kind.keyField);

    m_main = new DataSource(this);
    m_main->setObjectName(QStringLiteral("Adodc1"));
    m_main->setSource(QLatin1String(kind.table));
    m_probe = new DataSource(this);
    m_probe->setObjectName(QStringLiteral("Adodc2"));
    m_probe->setSource(QLatin1String(kind.table));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* caption = new QLabel(QString::fromUtf8(kind.keyCaption), frame);
    caption->setObjectName(QStringLiteral("Label1"));
    m_key = new QLineEdit(frame);
    m_key->setObjectName(QLatin1String(kind.keyBox));
    m_key->setMaxLength(50);
    m_key->setReadOnly(true);
    caption->setBuddy(m_key);
    bind(m_key, m_main, keyField);

    m_probeKey = new QLineEdit(this);
    m_probeKey->setObjectName(QLatin1String(kind.probeBox));
    m_probeKey->setReadOnly(true);
    m_probeKey->setVisible(false);
    bind(m_probeKey, m_probe, keyField);

    m_list = new DataGrid(m_main, frame);
    m_list->setObjectName(QStringLiteral("DataGrid1"));
    m_list->horizontalHeader()->setStretchLastSection(true);

    m_new = makeButton(QString::fromUtf8(kind.newCaption), "cmdAdd", frame);
    m_modify = makeButton(QStringLiteral("Aggiorna"), "cmdUpdate", frame);
    m_save = makeButton(QStringLiteral("Salva"), "cmdSave", frame);
    m_cancel = makeButton(QStringLiteral("Cancella"), "cmdCancel", frame);
    m_delete = makeButton(QStringLiteral("Elimina"), "cmdDelete", frame);
    m_back = makeButton(QString::fromUtf8(kind.backCaption), "cmdBack", frame);
    m_save->setEnabled(false);
    m_cancel->setEnabled(false);

    auto* left = new QVBoxLayout;
    left->addWidget(makeLogo(frame), 0, Qt::AlignLeft);
    left->addWidget(caption);
    left->addWidget(m_key);
    left->addWidget(m_list, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_new, m_modify, m_save, m_cancel, m_delete, m_back})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* panel = new QHBoxLayout(frame);
    panel->addLayout(left, 1);
    panel->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);

    setDefaultButton(this, m_new);
    connect(m_new, &QPushButton::clicked, this, &LookupScreen::addNew);
    connect(m_modify, &QPushButton::clicked, this, &LookupScreen::modify);
    connect(m_save, &QPushButton::clicked, this, &LookupScreen::save);
    connect(m_cancel, &QPushButton::clicked, this, [this] { nav::restart(this); });
    connect(m_delete, &QPushButton::clicked, this, &LookupScreen::remove);
    connect(m_back, &QPushButton::clicked, this, [this] { nav::go(this, QStringLiteral("frmTire")); });
    connect(m_list, &DataGrid::failed, this, [this](const QString& why) {
        failed(QStringLiteral("Moving to another %1"), why);
    });
    resize(480, 360);
}

// An activation while a record is being edited (for instance when a message
// box closes) must not bring back the browse-state buttons.
bool LookupScreen::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && !m_editing)
        checkRecords();
    return QWidget::event(event);
}

void LookupScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_editing)
        checkRecords();
}

void LookupScreen::closeEvent(QCloseEvent* event)
{
    m_main->cancelBatch();
    QWidget::closeEvent(event);
}

void LookupScreen::failed(const QString& operation, const QString& why)
{
    msg::failed(this, operation.arg(QLatin1String(m_kind.noun)), why);
}

void LookupScreen::addNew()
{
    try {
        m_main->addNew();
    } catch (const DbError& e) {
        failed(QStringLiteral("Adding a %1"), e.text());
        return;
    }
    m_remembered.reset();
    setEditMode();
}

void LookupScreen::modify()
{
    setEditMode();
    m_remembered = m_key->text();
}

void LookupScreen::save()
{
    // "  Utensili " would be a second group that looks like the first.
    const QString key = m_key->text().trimmed();
    if (key != m_key->text())
        m_key->setText(key);
    if (m_remembered && key == *m_remembered) {
        write();
        return;
    }
    // Searched before the empty check, as the screens always did; the
    // comparison is by value, so quotes in the key are plain characters.
    try {
        m_probe->refresh();
        m_probe->find(QLatin1String(m_kind.keyField), key);
    } catch (const DbError& e) {
        failed(QStringLiteral("Looking for the %1 among the saved ones"), e.text());
        return;
    }
    // A VAT rate that is no number would make every article that takes it
    // unsaveable; it is refused like an empty one.
    if (key.isEmpty() || (m_kind.numeric && !parseNumber(key))) {
        msg::critical(this, QStringLiteral("Invalid data."));
        m_key->setFocus();
        return;
    }
    if (!m_probeKey->text().isEmpty()) {
        msg::critical(this, QString::fromUtf8(m_kind.duplicateMessage));
        selectWholeText(m_key);
        return;
    }
    write();
}

void LookupScreen::write()
{
    try {
        m_main->updateBatch();
    } catch (const DbError& e) {
        failed(QStringLiteral("Saving the %1"), e.text());
        m_key->setFocus();
        return;
    }
    m_remembered.reset();
    setBrowseMode();
    checkRecords();
}

void LookupScreen::remove()
{
    try {
        m_main->deleteCurrent();
    } catch (const DbError& e) {
        failed(QStringLiteral("Deleting the %1"), e.text());
        return;
    }
    checkRecords();
    focusAfterDelete(m_list, m_new);
}

void LookupScreen::setEditMode()
{
    m_editing = true;
    m_new->setEnabled(false);
    m_modify->setEnabled(false);
    m_save->setEnabled(true);
    m_cancel->setEnabled(true);
    m_delete->setEnabled(false);
    m_key->setReadOnly(false);
    selectWholeText(m_key);
    m_list->setEnabled(false);
}

void LookupScreen::setBrowseMode()
{
    m_editing = false;
    m_list->refresh();
    m_new->setEnabled(true);
    m_modify->setEnabled(true);
    m_save->setEnabled(false);
    m_cancel->setEnabled(false);
    m_key->setReadOnly(true);
    m_key->setFocus();
}

void LookupScreen::checkRecords()
{
    m_list->refresh();
    const bool any = m_main->recordCount() != 0;
    m_list->setEnabled(any);
    m_delete->setEnabled(any);
    m_modify->setEnabled(any);
    m_key->setFocus();
}

} // namespace velinor
