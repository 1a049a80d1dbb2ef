#include "frmNewSystem.h"

#include "Configuration.h"

// Placeholder until the dialog's controls are built.
struct frmNewSystem::Private {
    QString chosen;
};

frmNewSystem::frmNewSystem(Configuration &, QWidget *parent) : QDialog(parent), d(new Private)
{
    setWindowTitle(QStringLiteral("New System"));
}
void frmNewSystem::setOpenInstead(bool) {}
QString frmNewSystem::chosenFile() const { return d->chosen; }
