#include "data/fieldbinding.h"

#include "common/readonlylook.h"
#include "data/datasource.h"

#include <QLineEdit>

namespace velinor {

FieldBinding::FieldBinding(QLineEdit* box, DataSource* source, const QString& fieldName,
                           const QString& caption)
    : QObject(box), m_box(box), m_source(source), m_fieldName(fieldName)
{
    if (!caption.trimmed().isEmpty())
        source->setCaption(fieldName, caption);
    resolve();
    connect(source, &DataSource::didReset, this, [this] {
        resolve();
        reload();
    });
    connect(source, &DataSource::currentChanged, this, &FieldBinding::reload);
    connect(source, &DataSource::rowChanged, this, [this](int row) {
        if (row == m_source->currentRow())
            reload();
    });
    connect(box, &QLineEdit::textChanged, this, &FieldBinding::written);
    followReadOnly(box);
    reload();
}

void FieldBinding::resolve()
{
    // A source whose reading failed has no fields: show nothing until it is
    // read again, rather than throw from the reset signal.
    m_column = m_source->fieldCount() == 0 ? -1 : m_source->requireField(m_fieldName);
}

void FieldBinding::reload()
{
    QString text = m_column < 0 ? QString() : m_source->value(m_column);
    if (m_display && !text.isEmpty())
        text = m_display(text);
    if (m_box->text() == text)
        return;
    m_loading = true;
    m_box->setText(text);
    // A value longer than its box reads from its start, as a user reads it.
    m_box->setCursorPosition(0);
    m_loading = false;
}

void FieldBinding::setDisplay(std::function<QString(const QString&)> display)
{
    m_display = std::move(display);
    reload();
}

void FieldBinding::written(const QString& text)
{
    if (m_loading || m_column < 0 || !m_source->hasCurrent())
        return;
    // Without a caption given, the box's accessible name is what it is called.
    if (!m_source->hasCaption(m_fieldName) && !m_box->accessibleName().isEmpty())
        m_source->setCaption(m_fieldName, m_box->accessibleName());
    m_source->setValue(m_column, text);
}

FieldBinding* bind(QLineEdit* box, DataSource* source, const QString& fieldName,
                   const QString& caption)
{
    return new FieldBinding(box, source, fieldName, caption);
}

} // namespace velinor
