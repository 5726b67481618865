#pragma once

#include "masterdata/maintenancescreen.h"


namespace velinor {

struct LookupKind;

// frmCategory, frmPattern and frmSize: one list of single values kept by the
// maintenance pattern, with a duplicate check on Save. Reached from the
// articles screen, and returns there.
class LookupScreen : public MaintenanceScreen {
    Q_OBJECT
public:
    explicit LookupScreen(const LookupKind& kind, QWidget* parent = nullptr);

protected:
    bool checkBeforeWrite() override;

private:
    const LookupKind& m_kind;
    DataSource* m_probe;
    QLineEdit* m_key;
    QLineEdit* m_probeKey;
};

} // namespace velinor
