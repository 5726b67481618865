#include "app/start.h"

#include "app/navigation.h"
#include "app/translations.h"

namespace velinor {

void start()
{
    loadQtTranslations();
    nav::show(QStringLiteral("frmAdmin"));
}

} // namespace velinor
