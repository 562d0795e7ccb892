#include "form3.h"

#include "workbench.h"

Form3::Form3(Workbench& workbench) : workbench_(workbench) { setObjectName(QStringLiteral("Form3")); }

void Form3::openFromSpectrumWindow() { show(); }
