#include "form6.h"

#include "workbench.h"

Form6::Form6(Workbench& workbench) : workbench_(workbench) { setObjectName(QStringLiteral("Form6")); }

void Form6::showAtStart() { show(); }
