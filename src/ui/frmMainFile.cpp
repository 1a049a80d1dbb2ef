// File commands of the main window: load, save, new, open, recent files,
// export and the report files.
#include "frmMain.h"

#include "AppSettings.h"
#include "ConfigDocument.h"
#include "ConfigFile.h"
#include "ConfigLoader.h"
#include "NavTree.h"
#include "Prompter.h"
#include "ReportView.h"
#include "frmNewSystem.h"
#include "mdlExport.h"

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

frmMain::NewSystemRunner &newSystemRunner()
{
    static frmMain::NewSystemRunner runner;
    return runner;
}

// "Ship.TDZ" -> "Ship.TWZ" in the same folder.
QString twzNameFor(const QString &fileName)
{
    const QFileInfo info(fileName);
    return QDir(info.path()).filePath(info.completeBaseName() + QStringLiteral(".TWZ"));
}

} // namespace

void frmMain::setTemplateFile(const QString &path)
{
    templateOverride() = path;
}

QString frmMain::templateFile()
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

void frmMain::setNewSystemRunner(NewSystemRunner runner)
{
    newSystemRunner() = std::move(runner);
}

void frmMain::setTitleForFile()
{
    setWindowTitle(doc_.CurrentFile().isEmpty()
                       ? QStringLiteral("helmWISE - New Configuration")
                       : QStringLiteral("helmWISE - ") + doc_.CurrentFile());
}

bool frmMain::doLoadFile(const QString &fileName, bool fromRecentOrTemplate)
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
        AppSettings::CheckMRU(fileName);
        BuildMRU();
    }
    afterConfigurationReplaced();
    return true;
}

void frmMain::afterConfigurationReplaced()
{
    report_->clearReport();
    BuildTree();
    showSystemPane();
}

void frmMain::NewConfiguration()
{
    setStatus(QString());
    QString path = templateFile();
    if (ExistFile(path) && loadConfigurationFile(path, doc_.config).ok) {
        doc_.setCurrentFile(QString());
        doc_.setConfigChanged(false);
        setTitleForFile();
        afterConfigurationReplaced();
        return;
    }
    // No template: an empty configuration, and the New System dialog to fill it.
    ClearConfig(doc_.config);
    doc_.setCurrentFile(QString());
    doc_.setConfigChanged(false);
    setTitleForFile();
    afterConfigurationReplaced();
    Configuration made = doc_.config;
    frmNewSystem dialog(made, this);
    dialog.setOpenInstead(true);
    int result = QDialog::Rejected;
    do {
        result = newSystemRunner() ? newSystemRunner()(dialog) : dialog.exec();
        // A file that cannot be opened brings the dialog back.
    } while (result == frmNewSystem::OpenedFile && !doLoadFile(dialog.chosenFile(), false));
    dialog.setOpenInstead(false);
    if (result == QDialog::Accepted)
        newSystemMade(made);
}

void frmMain::newSystemMade(const Configuration &made)
{
    // A system nobody has saved yet is unsaved work, in no file yet.
    doc_.replaceConfiguration(made, QStringLiteral("New System"));
    setStatus(QString());
    setTitleForFile();
    afterConfigurationReplaced();
}

bool frmMain::writeTo(const QString &fileName, const QString &action)
{
    QString error;
    if (!WriteConfigFile(fileName, doc_.config, &error)) {
        // Nothing changes: the configuration is still unsaved and still belongs to its file.
        prompter().failure(this, action, QStringLiteral("Unable to save"), fileName, error);
        return false;
    }
    doc_.setCurrentFile(fileName);
    doc_.setConfigChanged(false);
    setTitleForFile();
    setStatus(QStringLiteral("Saved ") + QDir::toNativeSeparators(fileName));
    AppSettings::CheckMRU(fileName);
    BuildMRU();
    return true;
}

bool frmMain::fileSave()
{
    commitPanes();
    // An imported DOS file is saved in our own format under a name of its own.
    if (doc_.CurrentFile().isEmpty() || doc_.importedDos())
        return doSaveAs();
    return writeTo(doc_.CurrentFile(), QStringLiteral("Save"));
}

bool frmMain::doSaveAs()
{
    commitPanes();
    Prompt prompt;
    prompt.kind = Prompt::SaveFile;
    prompt.title = QStringLiteral("Save As");
    prompt.filter = configFilter();
    prompt.proposedName = doc_.importedDos() ? twzNameFor(doc_.CurrentFile()) : doc_.CurrentFile();
    const QString name = prompter().chooseFile(this, prompt);
    if (name.isEmpty())
        return false;
    return writeTo(name, QStringLiteral("Save As"));
}

bool frmMain::askToSave(const QString &question)
{
    if (!doc_.ConfigChanged())
        return true;
    // The question names the configuration it is about.
    const QString which = doc_.CurrentFile().isEmpty()
                              ? QStringLiteral("New Configuration")
                              : QDir::toNativeSeparators(doc_.CurrentFile());
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

void frmMain::fileNew()
{
    commitPanes();
    if (!askToSave(QStringLiteral("Do you wish to save the current file")))
        return;
    Configuration scratch = doc_.config;
    frmNewSystem dialog(scratch, this);
    const int result = newSystemRunner() ? newSystemRunner()(dialog) : dialog.exec();
    if (result == frmNewSystem::OpenedFile) {
        doLoadFile(dialog.chosenFile(), false);
        return;
    }
    // The new system is not the file that was open: it starts unnamed.
    if (result == QDialog::Accepted)
        newSystemMade(scratch);
}

void frmMain::fileOpen()
{
    commitPanes();
    if (!askToSave(QStringLiteral("Do you wish to save the current file")))
        return;
    const QString name = prompter().chooseConfigurationToOpen(this);
    if (!name.isEmpty())
        doLoadFile(name, false);
}

void frmMain::openRecent(const QString &path)
{
    commitPanes();
    // Unsaved changes are offered for saving here as well, as New and Open do.
    if (path.isEmpty() || !askToSave(QStringLiteral("Do you wish to save the current file")))
        return;
    doLoadFile(path, false);
}

void frmMain::BuildMRU()
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

void frmMain::doExport()
{
    commitPanes();
    Prompt prompt;
    prompt.kind = Prompt::SaveFile;
    prompt.title = QStringLiteral("Export");
    prompt.filter = QStringLiteral("Comma Separated File (*.CSV);;Tab Separated File (*.TAB)");
    if (!doc_.CurrentFile().isEmpty()) {
        const QFileInfo info(doc_.CurrentFile());
        prompt.proposedName =
            QDir(info.path()).filePath(info.completeBaseName() + QStringLiteral(".CSV"));
    }
    const QString name = prompter().chooseFile(this, prompt);
    if (name.isEmpty())
        return;
    QString error;
    if (!ExportLists(name, doc_.config, &error)) {
        prompter().failure(this, QStringLiteral("Export"), QStringLiteral("Unable to export"), name,
                           error);
        return;
    }
    setStatus(QStringLiteral("Exported 3 files to ") +
              QDir::toNativeSeparators(QFileInfo(name).absolutePath()));
}

void frmMain::saveReport()
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
    prompt.proposedName = ReportView::proposedPdfName(doc_.CurrentFile());
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

void frmMain::printReport()
{
    if (currentView() != report_ || report_->currentReport() < 0) {
        prompter().message(this, QStringLiteral("Print Report"),
                           QStringLiteral("Please select a report before printing"),
                           QMessageBox::Information);
        return;
    }
    report_->printReport();
}
