#pragma once

#include "masterdata/maintenancescreen.h"

#include <optional>

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
    void added() override;
    void modifying() override;
    void written() override;

private:
    const LookupKind& m_kind;
    DataSource* m_probe;
    QLineEdit* m_key;
    QLineEdit* m_probeKey;
    // The key as Modify found it. None after New, so that an empty key typed
    // into a new record is still refused rather than taken as unchanged.
    std::optional<QString> m_remembered;
};

} // namespace velinor
