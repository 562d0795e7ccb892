#include "form1.h"

#include "workbench.h"

Form1::Form1(Workbench& workbench) : workbench_(workbench) { setObjectName(QStringLiteral("Form1")); }

void Form1::openFromSpectrumWindow() { show(); }
