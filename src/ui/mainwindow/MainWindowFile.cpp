// File commands of the main window: load, save, new, open, recent files,
// export and the report files.
#include "MainWindow.h"

#include "AppSettings.h"
#include "ConfigDocument.h"
#include "ConfigFile.h"
#include "ConfigLoader.h"
#include "NavTree.h"
#include "Prompter.h"
#include "ReportView.h"
#include "NewSystemDialog.h"
#include "ListExport.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace
{

const QString programTitle = QStringLiteral("helmWISE");

QString configFilter()
{
    return QStringLiteral("Windows Tidelex Files (*.TWZ *.twz);;All Files (*)");
}

QString &templateOverride()
{
    static QString path;
    return path;
}

MainWindow::NewSystemRunner &newSystemRunner()
{
    static MainWindow::NewSystemRunner runner;
    return runner;
}

// "Ship.TDZ" -> "Ship.TWZ" in the same folder.
QString twzNameFor(const QString &fileName)
{
    const QFileInfo info(fileName);
    return QDir(info.path()).filePath(info.completeBaseName() + QStringLiteral(".TWZ"));
}

} // namespace

void MainWindow::setTemplateFile(const QString &path)
{
    templateOverride() = path;
}

QString MainWindow::templateFile()
{
    if (!templateOverride().isEmpty())
        return templateOverride();
    // Beside the program in the build folder; in the data folder once installed.
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString beside = programDir.filePath(QStringLiteral("default.TWZ"));
    const QString installed = QDir::cleanPath(
        programDir.filePath(QStringLiteral(HELMWISE_DATA_FROM_PROGRAM "/default.TWZ")));
    return QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside : installed;
}

void MainWindow::setNewSystemRunner(NewSystemRunner runner)
{
    newSystemRunner() = std::move(runner);
}

void MainWindow::setTitleForFile()
{
    setWindowTitle(doc_.currentFile().isEmpty()
                       ? QStringLiteral("helmWISE - New Configuration")
                       : QStringLiteral("helmWISE - ") + doc_.currentFile());
}

bool MainWindow::doLoadFile(const QString &fileName, bool fromRecentOrTemplate)
{
    const LoadOutcome load = loadConfigurationFile(fileName, doc_.config);
    if (!load.ok) {
        // The configuration in use, its name and its state stay as they were;
        // the details name the file and the reason.
        QString detail = QDir::toNativeSeparators(load.fileName);
        if (!load.detail.isEmpty())
            detail += QLatin1Char('\n') + load.detail;
        prompter().message(this, programTitle, load.message, QMessageBox::NoIcon, detail);
        return false;
    }
    if (!load.importedDos)
        setStatus(QStringLiteral("File last saved: ") + doc_.config.SysConfig.LastUpdate);
    doc_.setCurrentFile(fileName, load.importedDos);
    // Another file: nothing before it can be undone.
    doc_.resetHistory();
    setTitleForFile();
    if (!fromRecentOrTemplate) {
        AppSettings::checkMRU(fileName);
        buildMRU();
    }
    afterConfigurationReplaced();
    return true;
}

void MainWindow::afterConfigurationReplaced()
{
    report_->clearReport();
    buildTree();
    showSystemPane();
}

void MainWindow::newConfiguration()
{
    setStatus(QString());
    QString path = templateFile();
    if (existFile(path) && loadConfigurationFile(path, doc_.config).ok) {
        doc_.setCurrentFile(QString());
        doc_.setConfigChanged(false);
        setTitleForFile();
        afterConfigurationReplaced();
        return;
    }
    // No template: an empty configuration, and the New System dialog to fill it.
    clearConfig(doc_.config);
    doc_.setCurrentFile(QString());
    doc_.setConfigChanged(false);
    setTitleForFile();
    afterConfigurationReplaced();
    Configuration made = doc_.config;
    NewSystemDialog dialog(made, this);
    dialog.setOpenInstead(true);
    int result = QDialog::Rejected;
    do {
        result = newSystemRunner() ? newSystemRunner()(dialog) : dialog.exec();
        // A file that cannot be opened brings the dialog back.
    } while (result == NewSystemDialog::OpenedFile && !doLoadFile(dialog.chosenFile(), false));
    dialog.setOpenInstead(false);
    if (result == QDialog::Accepted)
        newSystemMade(made);
}

void MainWindow::newSystemMade(const Configuration &made)
{
    // A system nobody has saved yet is unsaved work, in no file yet.
    doc_.replaceConfiguration(made, QStringLiteral("New System"));
    setStatus(QString());
    setTitleForFile();
    afterConfigurationReplaced();
}

bool MainWindow::writeTo(const QString &fileName, const QString &action)
{
    QString error;
    if (!writeConfigFile(fileName, doc_.config, &error)) {
        // Nothing changes: the configuration is still unsaved and still belongs to its file.
        prompter().failure(this, action, QStringLiteral("Unable to save"), fileName, error);
        return false;
    }
    doc_.setCurrentFile(fileName);
    doc_.setConfigChanged(false);
    setTitleForFile();
    setStatus(QStringLiteral("Saved ") + QDir::toNativeSeparators(fileName));
    AppSettings::checkMRU(fileName);
    buildMRU();
    return true;
}

bool MainWindow::fileSave()
{
    commitPanes();
    // An imported DOS file is saved in our own format under a name of its own.
    if (doc_.currentFile().isEmpty() || doc_.importedDos())
        return doSaveAs();
    return writeTo(doc_.currentFile(), QStringLiteral("Save"));
}

bool MainWindow::doSaveAs()
{
    commitPanes();
    Prompt prompt;
    prompt.kind = Prompt::SaveFile;
    prompt.title = QStringLiteral("Save As");
    prompt.filter = configFilter();
    prompt.proposedName = doc_.importedDos() ? twzNameFor(doc_.currentFile()) : doc_.currentFile();
    const QString name = prompter().chooseFile(this, prompt);
    if (name.isEmpty())
        return false;
    return writeTo(name, QStringLiteral("Save As"));
}

bool MainWindow::askToSave(const QString &question)
{
    if (!doc_.configChanged())
        return true;
    // The question names the configuration it is about.
    const QString which = doc_.currentFile().isEmpty()
                              ? QStringLiteral("New Configuration")
                              : QDir::toNativeSeparators(doc_.currentFile());
    const auto answer = prompter().question(
        this, programTitle, question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
        which);
    if (answer == QMessageBox::No)
        return true;
    if (answer != QMessageBox::Yes)
        return false;
    // A save that did not happen stops the command, so nothing unsaved is lost.
    return fileSave();
}

void MainWindow::fileNew()
{
    commitPanes();
    if (!askToSave(QStringLiteral("Do you wish to save the current file")))
        return;
    Configuration scratch = doc_.config;
    NewSystemDialog dialog(scratch, this);
    const int result = newSystemRunner() ? newSystemRunner()(dialog) : dialog.exec();
    if (result == NewSystemDialog::OpenedFile) {
        doLoadFile(dialog.chosenFile(), false);
        return;
    }
    // The new system is not the file that was open: it starts unnamed.
    if (result == QDialog::Accepted)
        newSystemMade(scratch);
}

void MainWindow::fileOpen()
{
    commitPanes();
    if (!askToSave(QStringLiteral("Do you wish to save the current file")))
        return;
    const QString name = prompter().chooseConfigurationToOpen(this);
    if (!name.isEmpty())
        doLoadFile(name, false);
}

void MainWindow::openRecent(const QString &path)
{
    commitPanes();
    // Unsaved changes are offered for saving here as well, as New and Open do.
    if (path.isEmpty() || !askToSave(QStringLiteral("Do you wish to save the current file")))
        return;
    doLoadFile(path, false);
}

void MainWindow::buildMRU()
{
    for (QAction *entry : mruActions_)
        entry->setVisible(false);
    const QStringList paths = AppSettings::recentFiles();
    if (paths.isEmpty())
        return;
    for (int i = 1; i <= paths.size() && i <= mruActions_.size(); ++i) {
        const QString path = paths[i - 1];
        if (path.trimmed().isEmpty())
            continue;
        QAction *entry = mruActions_[i - 1];
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        entry->setText(QLatin1Char('&') + QString::number(i % 10) + QLatin1Char(' ') + shown);
        entry->setData(path);
        entry->setVisible(true);
    }
    mruBar_->setVisible(true);
}

void MainWindow::doExport()
{
    commitPanes();
    Prompt prompt;
    prompt.kind = Prompt::SaveFile;
    prompt.title = QStringLiteral("Export");
    prompt.filter = QStringLiteral("Comma Separated File (*.CSV);;Tab Separated File (*.TAB)");
    if (!doc_.currentFile().isEmpty()) {
        const QFileInfo info(doc_.currentFile());
        prompt.proposedName =
            QDir(info.path()).filePath(info.completeBaseName() + QStringLiteral(".CSV"));
    }
    const QString name = prompter().chooseFile(this, prompt);
    if (name.isEmpty())
        return;
    QString error;
    if (!exportLists(name, doc_.config, &error)) {
        prompter().failure(this, QStringLiteral("Export"), QStringLiteral("Unable to export"), name,
                           error);
        return;
    }
    setStatus(QStringLiteral("Exported 3 files to ") +
              QDir::toNativeSeparators(QFileInfo(name).absolutePath()));
}

void MainWindow::saveReport()
{
    if (currentView() != report_ || report_->currentReport() < 0) {
        prompter().message(this, QStringLiteral("Save Report"),
                           QStringLiteral("Please select a report before saving"),
                           QMessageBox::Information);
        return;
    }
    Prompt prompt;
    prompt.kind = Prompt::SaveFile;
    prompt.title = QStringLiteral("Save Report");
    prompt.filter = QStringLiteral("PDF Files (*.pdf);;All Files (*)");
    prompt.proposedName = ReportView::proposedPdfName(doc_.currentFile());
    const QString name = prompter().chooseFile(this, prompt);
    if (name.isEmpty())
        return;
    QString error;
    if (!report_->saveReportPdf(name, &error)) {
        prompter().failure(this, QStringLiteral("Save Report"), QStringLiteral("Unable to save"),
                           name, error);
        return;
    }
    setStatus(QStringLiteral("Saved ") + QDir::toNativeSeparators(name));
}

void MainWindow::printReport()
{
    if (currentView() != report_ || report_->currentReport() < 0) {
        prompter().message(this, QStringLiteral("Print Report"),
                           QStringLiteral("Please select a report before printing"),
                           QMessageBox::Information);
        return;
    }
    report_->printReport();
}
