#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;

namespace velinor {

class DataSource;

// Binds a box to a field of a source's current row: the box shows the field
// (empty when there is no current row) and whatever is put into the box,
// typed or set by the screen, becomes a pending change of that field.
// The field name is resolved once; an unknown name throws. The box's caption,
// when given, is how the source's messages name the field.
class FieldBinding : public QObject {
    Q_OBJECT
public:
    FieldBinding(QLineEdit* box, DataSource* source, const QString& fieldName,
                 const QString& caption = QString());

    // Shows the current value again, dropping what the box showed.
    void reload();
    // How the box shows a value that is not empty (money with two decimals,
    // say); what is put into the box is still stored as it is.
    void setDisplay(std::function<QString(const QString&)> display);

private:
    void resolve();
    void written(const QString& text);

    QLineEdit* m_box;
    DataSource* m_source;
    QString m_fieldName;
    int m_column = -1;
    bool m_loading = false;
    std::function<QString(const QString&)> m_display;
};

// Convenience: the binding lives as long as the box.
FieldBinding* bind(QLineEdit* box, DataSource* source, const QString& fieldName,
                   const QString& caption = QString());

} // namespace velinor
