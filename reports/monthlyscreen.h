#pragma once

#include <QWidget>

class QPushButton;

namespace velinor {

class DataGrid;
class DataSource;

// frmMonthly: the total of every document with its customer, ordered by
// customer, as the table holds them; printed through the statistics report.
class MonthlyScreen : public QWidget {
    Q_OBJECT
public:
    explicit MonthlyScreen(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;

private:
    DataSource* m_documents;
    DataGrid* m_list;
    QPushButton* m_report;
};

} // namespace velinor
