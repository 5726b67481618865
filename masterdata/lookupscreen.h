#pragma once

#include <QString>
#include <QWidget>

#include <optional>

class QLineEdit;
class QPushButton;

namespace velinor {

class DataGrid;
class DataSource;
struct LookupKind;

// frmCategory, frmPattern and frmSize: one list of single values kept by the
// maintenance pattern, with a duplicate check on Save. Reached from the
// articles screen, and returns there.
class LookupScreen : public QWidget {
    Q_OBJECT
public:
    explicit LookupScreen(const LookupKind& kind, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void addNew();
    void modify();
    void save();
    void write();
    void remove();
    void failed(const QString& operation, const QString& why);

    void setEditMode();
    void setBrowseMode();
    void checkRecords();

    const LookupKind& m_kind;
    DataSource* m_main;
    DataSource* m_probe;
    QLineEdit* m_key;
    QLineEdit* m_probeKey;
    DataGrid* m_list;
    QPushButton* m_new;
    QPushButton* m_modify;
    QPushButton* m_save;
    QPushButton* m_cancel;
    QPushButton* m_delete;
    QPushButton* m_back;
    // The key as Modify found it. None after New, so that an empty key typed
    // into a new record is still refused rather than taken as unchanged.
    std::optional<QString> m_remembered;
    bool m_editing = false;
};

} // namespace velinor
