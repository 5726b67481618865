#include "app/start.h"

#include "app/navigation.h"

namespace velinor {

void start() { nav::show(QStringLiteral("frmAdmin")); }

} // namespace velinor
