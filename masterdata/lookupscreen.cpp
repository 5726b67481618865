#include "masterdata/lookupscreen.h"

#include "common/messagebox.h"
#include "common/numbertext.h"
#include "common/textselect.h"
#include "data/datagrid.h"
#include "data/datasource.h"
#include "data/fieldbinding.h"
#include "masterdata/lookupkinds.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace velinor {

namespace {

MaintenanceScreen::Names namesOf(const LookupKind& kind)
{
    const QString noun = QLatin1String(kind.noun);
    MaintenanceScreen::Names names;
    names.screen = QLatin1String(kind.screen);
    names.caption = QString::fromUtf8(kind.caption);
    names.source = QStringLiteral("Adodc1");
    names.sourceText = QLatin1String(kind.table);
    names.record = noun;
    names.aRecord = QStringLiteral("a ") + noun;
    names.back = QStringLiteral("frmTire");
    names.newCaption = QString::fromUtf8(kind.newCaption);
    names.backCaption = QString::fromUtf8(kind.backCaption);
    return names;
}

} // namespace

LookupScreen::LookupScreen(const LookupKind& kind, QWidget* parent)
    : MaintenanceScreen(namesOf(kind), parent), m_kind(kind)
{
    const QString keyField = QLatin1String(kind.keyField);
    m_probe = new DataSource(this);
    m_probe->setObjectName(QStringLiteral("Adodc2"));
    m_probe->setSource(QLatin1String(kind.table));

    QGroupBox* frame = this->frame();
    QLabel* caption = makeCaption(QString::fromUtf8(kind.keyCaption), "Label1", frame);
    m_key = new QLineEdit(frame);
    m_key->setObjectName(QLatin1String(kind.keyBox));
    m_key->setMaxLength(50);
    caption->setBuddy(m_key);
    bind(m_key, records(), keyField, caption->text());
    lockWhileBrowsing(m_key);
    setEditFocus(m_key);
    setBrowseFocus(m_key);
    setKeyBox(m_key);

    m_probeKey = new QLineEdit(this);
    m_probeKey->setObjectName(QLatin1String(kind.probeBox));
    m_probeKey->setReadOnly(true);
    m_probeKey->setVisible(false);
    bind(m_probeKey, m_probe, keyField);

    auto* list = new DataGrid(records(), frame);
    list->setObjectName(QStringLiteral("DataGrid1"));
    list->horizontalHeader()->setStretchLastSection(true);
    setRecordList(list, true);

    auto* boxes = new QVBoxLayout;
    boxes->addWidget(caption);
    boxes->addWidget(m_key);
    layOutBeside(boxes, list);
    resize(480, 360);
}

bool LookupScreen::checkBeforeWrite()
{
    // "  Utensili " would be a second group that looks like the first.
    const QString key = m_key->text().trimmed();
    if (key != m_key->text())
        m_key->setText(key);
    if (!keyToCheck(key))
        return true;
    // Searched before the empty check, as the screens always did; the
    // comparison is by value, so quotes in the key are plain characters.
    try {
        m_probe->refresh();
        m_probe->find(QLatin1String(m_kind.keyField), key);
    } catch (const DbError& e) {
        failed(QStringLiteral("Looking for the %1 among the saved ones").arg(QLatin1String(m_kind.noun)),
               e.text());
        return false;
    }
    // A VAT rate that is no number would make every article that takes it
    // unsaveable; it is refused like an empty one.
    if (key.isEmpty() || (m_kind.numeric && !parseNumber(key))) {
        msg::critical(this, QStringLiteral("Invalid data."));
        m_key->setFocus();
        return false;
    }
    if (!m_probeKey->text().isEmpty()) {
        msg::critical(this, QString::fromUtf8(m_kind.duplicateMessage));
        selectWholeText(m_key);
        return false;
    }
    return true;
}

} // namespace velinor
