#include "workbench.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "form5.h"
#include "form6.h"
#include "tuning_window.h"

std::filesystem::path toFsPath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

Workbench::Workbench(const QString& workingFolder, MessageSink& messages, Launcher& launcher)
    : workingFolder_(QDir(workingFolder).absolutePath()),
      messages_(messages),
      launcher_(launcher),
      quit_([] { QCoreApplication::exit(0); }) {}

// Forms are destroyed in reverse order of declaration; none refers to another in its destructor.
Workbench::~Workbench() = default;

QString Workbench::filePath(const QString& name) const {
  return QDir(workingFolder_).filePath(name);
}

namespace {
template <typename Form>
Form& createOnFirstUse(std::unique_ptr<Form>& form, Workbench& workbench) {
  if (!form) form = std::make_unique<Form>(workbench);
  return *form;
}
}  // namespace

Form1& Workbench::form1() { return createOnFirstUse(form1_, *this); }
Form2& Workbench::form2() { return createOnFirstUse(form2_, *this); }
Form3& Workbench::form3() { return createOnFirstUse(form3_, *this); }
Form4& Workbench::form4() { return createOnFirstUse(form4_, *this); }
Form5& Workbench::form5() { return createOnFirstUse(form5_, *this); }
Form6& Workbench::form6() { return createOnFirstUse(form6_, *this); }
TuningWindow& Workbench::tuning() { return createOnFirstUse(tuning_, *this); }

QWidget* Workbench::existingForm(int number) const {
  switch (number) {
    case 1:
      return form1_.get();
    case 2:
      return form2_.get();
    case 3:
      return form3_.get();
    case 4:
      return form4_.get();
    case 5:
      return form5_.get();
    case 6:
      return form6_.get();
    default:
      return nullptr;
  }
}

void Workbench::endProgram() {
  if (ended_) return;
  ended_ = true;
  for (QWidget* w : std::initializer_list<QWidget*>{form1_.get(), form2_.get(), form3_.get(),
                                                    form4_.get(), form5_.get(), form6_.get()})
    if (w) w->hide();
  if (tuning_) tuning_->hide();
  if (quit_) quit_();
}
