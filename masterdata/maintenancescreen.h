#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include <optional>

class QGroupBox;
class QLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace velinor {

class DataGrid;
class DataSource;

// The pattern every master-data screen follows: a main data source, a list
// of its records, boxes bound to the current record, and the buttons
// "Nuovo", "Aggiorna", "Salva", "Cancella", "Elimina" and back, in two
// states, browse and edit. A screen derived from it makes its boxes and its
// list, says which of its controls follow the two states, and adds its own
// checks and steps through the virtual hooks; the states, the messages, the
// focus and the window events are kept here. A screen of a few fields:
//
//   PaymentScreen::PaymentScreen() : MaintenanceScreen(names())
//   {
//       auto* box = new QLineEdit(frame());
//       box->setObjectName("txtCode");
//       bind(box, records(), "Codice", "Codice");
//       lockWhileBrowsing(box);
//       setEditFocus(box);
//       setKeyBox(box); // when no two records may share it
//       auto* list = new DataGrid(records(), frame());
//       list->setObjectName("DataGrid1");
//       setRecordList(list, true);
//       auto* boxes = new QVBoxLayout;
//       boxes->addWidget(box);
//       layOutBeside(boxes, list);
//   }
//   bool PaymentScreen::checkBeforeWrite() { ...message and false when refused }
class MaintenanceScreen : public QWidget {
    Q_OBJECT
public:
    struct Names {
        QString screen;      // object name: frmTire, frmCustomer...
        QString caption;     // window caption
        QString source;      // object name of the main data source: Adodc1...
        QString sourceText;  // its table or query
        QString record;      // names the record in failure messages: "article"
        QString aRecord;     // ...with its article: "an article"
        QString back;        // the screen the back button opens
        QString newCaption = QStringLiteral("Nuovo");
        QString backCaption = QStringLiteral("<Menu>");
    };

    DataSource* records() const { return m_records; }
    bool isEditing() const { return m_editing; }

protected:
    MaintenanceScreen(const Names& names, QWidget* parent = nullptr);

    // --- What the derived screen sets up, in its constructor ---
    // The panel that holds the boxes, the list and the buttons.
    QGroupBox* frame() const { return m_frame; }
    // The record list, bound to records(). When `countGoverned`, the list is
    // usable only while there are records (otherwise it is usable in the
    // browse state whatever the count).
    void setRecordList(DataGrid* list, bool countGoverned);
    // A print button: usable only in the browse state with records on file.
    void setReportButton(QPushButton* button);
    // Writable only in the edit state; read-only while browsing.
    void lockWhileBrowsing(QLineEdit* box);
    void enableWhileEditing(QWidget* control);
    void enableWhileBrowsing(QWidget* control);
    // The box the edit state focuses, its whole text selected.
    void setEditFocus(QLineEdit* box) { m_editFocus = box; }
    // The box every record count puts the focus on (none: the focus stays).
    void setBrowseFocus(QWidget* control) { m_browseFocus = control; }
    // The six buttons in a column, top to bottom, as every screen shows them.
    QVBoxLayout* buttonColumn();
    // The panel of a screen of a few fields: the logo, the boxes and the
    // record list on the left, the buttons on the right.
    void layOutBeside(QLayout* boxes, DataGrid* list);
    // The box of the record's key, which no two records share.
    void setKeyBox(QLineEdit* box) { m_keyBox = box; }
    // Whether Save must look for the key among the saved records: always
    // for a new record, and for a changed one when its key is not the one
    // Modify found.
    bool keyToCheck(const QString& key) const { return !m_keyAsFound || key != *m_keyAsFound; }

    // --- Hooks ---
    // Checked before a save writes; false leaves the edit state as it is
    // (the check has told the user why).
    virtual bool checkBeforeWrite() { return true; }
    // After New has added the record and entered the edit state.
    virtual void added() {}
    // After Modify has entered the edit state.
    virtual void modifying() {}
    // After a save has written and the screen is back in the browse state.
    virtual void written() {}
    // Deletes the current record; false when the screen refuses (it has
    // told the user why). Throws DbError.
    virtual bool deleteRecord();

    // A failure of the data layer, named: "Saving the article failed: ...".
    void failed(const QString& operation, const QString& why);

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // Building blocks the screens share.
    static QPushButton* makeButton(const QString& caption, const char* name, QWidget* parent);
    static QLabel* makeCaption(const QString& text, const char* name, QWidget* parent);
    // The light grey of the boxes the user reads rather than types in.
    static void greyBackground(QLineEdit* box);

private:
    void addNew();
    void modify();
    void save();
    void remove();
    void focusNextWork();

    void setEditMode();
    void setBrowseMode();
    void checkRecords();

    Names m_names;
    DataSource* m_records;
    QGroupBox* m_frame;
    DataGrid* m_list = nullptr;
    bool m_countGovernsList = true;
    QPushButton* m_new;
    QPushButton* m_modify;
    QPushButton* m_save;
    QPushButton* m_cancel;
    QPushButton* m_delete;
    QPushButton* m_back;
    QPushButton* m_report = nullptr;
    QList<QLineEdit*> m_locked;
    QList<QWidget*> m_editOnly;
    QList<QWidget*> m_browseOnly;
    QLineEdit* m_editFocus = nullptr;
    QWidget* m_browseFocus = nullptr;
    QLineEdit* m_keyBox = nullptr;
    std::optional<QString> m_keyAsFound;
    bool m_editing = false;
};

} // namespace velinor
