#include "form2.h"

#include "workbench.h"

Form2::Form2(Workbench& workbench) : workbench_(workbench) { setObjectName(QStringLiteral("Form2")); }

void Form2::enableResultsButton() {}

void Form2::showAgain() { show(); }
