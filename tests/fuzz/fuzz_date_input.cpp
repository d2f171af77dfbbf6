// Feeds any text through the conversion dialog's "Datum->Sternzeit" direction with both
// stardate kinds chosen: the input form, the splitting, the reading of the numbers, the date
// and time tests and both stardate texts. Whatever was typed, the dialog ends reset.
#include "compute.h"
#include "datetextcheck.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstdlib>

namespace {

Compute *dialog;

template <typename T>
T *child(const char *name)
{
    return dialog->findChild<T *>(QLatin1String(name));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Statics, so that the dialog goes before the application object at exit.
    static QApplication app(*argc, *argv);
    static Compute compute;
    dialog = &compute;
    dialog->show();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = typedText(data, size);
    child<QLineEdit>("lineEdit")->setText(input);
    for (const char *box : { "checkBox_2", "checkBox", "checkBox_3" })
        child<QCheckBox>(box)->setChecked(true);
    child<QPushButton>("Computes")->click();

    const QString heading = child<QLabel>("label_6")->text();
    const bool converted = heading != QLatin1String("Ausgabe:");
    if (converted && heading != QStringLiteral("Ausgabe von ") + input + QStringLiteral(" ist:"))
        abort();
    if (converted != child<QLabel>("label_8")->text().startsWith(QLatin1String("Anderes Format: ")))
        abort();
    if (!child<QLineEdit>("lineEdit")->text().isEmpty() || child<QLineEdit>("lineEdit")->validator())
        abort();
    for (const char *box : { "checkBox", "checkBox_2", "checkBox_3", "checkBox_4" }) {
        if (child<QCheckBox>(box)->isChecked() || !child<QCheckBox>(box)->isCheckable())
            abort();
    }
    return 0;
}
