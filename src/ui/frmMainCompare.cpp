// Comparing the open configuration with another one: a file chosen by the
// technician. The open configuration is never touched.
#include "frmMain.h"

#include "ConfigDocument.h"
#include "FileAccess.h"
#include "Prompter.h"
#include "frmCompare.h"

#include <QFileInfo>

void frmMain::compareWithFile()
{
    commitPanes();
    const QString title = QStringLiteral("Compare With File");
    const QString name = prompter().chooseConfigurationToOpen(this, title);
    if (name.isEmpty())
        return;
    Configuration other = makeDefaultConfiguration();
    const FileLoad load = loadConfiguration(name, other);
    if (!load.ok) {
        prompter().message(this, title, load.message, QMessageBox::Warning);
        return;
    }
    showComparison(other, QFileInfo(name).fileName(), false);
}

void frmMain::showComparison(const Configuration &other, const QString &otherName, bool ignoreNames)
{
    // One comparison at a time: a new one takes the place of the last.
    if (compare_)
        compare_->close();
    compare_ = new frmCompare(doc_, other, otherName, this);
    compare_->setAttribute(Qt::WA_DeleteOnClose);
    compare_->setIgnoreNames(ignoreNames);
    connect(compare_, &frmCompare::openRecord, this, &frmMain::navigateTo);
    compare_->show();
}
