#include "form4.h"

#include "workbench.h"

Form4::Form4(Workbench& workbench) : workbench_(workbench) { setObjectName(QStringLiteral("Form4")); }

void Form4::openFromResultsWindow() { show(); }
