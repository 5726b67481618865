#include "app/screens.h"

#include "app/admingate.h"
#include "app/mainmenu.h"
#include "app/newaccount.h"
#include "app/userlogin.h"
#include "documents/documentkind.h"
#include "documents/documentscreen.h"
#include "masterdata/articlescreen.h"
#include "masterdata/companyscreen.h"
#include "masterdata/customerscreen.h"
#include "masterdata/lookupkinds.h"
#include "masterdata/lookupscreen.h"
#include "masterdata/paymentscreen.h"
#include "reports/monthlyscreen.h"

#include <QWidget>

#include <stdexcept>

namespace velinor {

QWidget* createScreen(const QString& name)
{
    if (name == QLatin1String("frmAdmin"))
        return new AdminGate;
    if (name == QLatin1String("frmUser"))
        return new UserLogin;
    if (name == QLatin1String("frmNew"))
        return new NewAccount;
    if (name == QLatin1String("frmMenu"))
        return new MainMenu;
    if (name == QLatin1String("frmTire"))
        return new ArticleScreen;
    if (name == QLatin1String("frmAzienda"))
        return new CompanyScreen;
    if (name == QLatin1String("frmCustomer"))
        return new CustomerScreen;
    if (name == QLatin1String("frmPagamenti"))
        return new PaymentScreen;
    if (name == QLatin1String("frmMonthly"))
        return new MonthlyScreen;
    if (const LookupKind* kind = lookupKind(name))
        return new LookupScreen(*kind);
    if (const DocumentKind* kind = documentKind(name))
        return new DocumentScreen(*kind);
    throw std::invalid_argument("unknown screen " + name.toStdString());
}

QString screenTitle(const QString& name)
{
    if (name == QLatin1String("frmFatture"))
        return QStringLiteral("Fattura di Vendita");
    if (name == QLatin1String("frmordini"))
        return QStringLiteral("Stampe Ordini / Preventivi");
    return {};
}

} // namespace velinor
