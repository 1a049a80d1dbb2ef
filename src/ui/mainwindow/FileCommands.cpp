#include "FileCommands.h"

#include "AppSettings.h"
#include "ConfigDocument.h"
#include "ConfigFile.h"
#include "ConfigLoader.h"
#include "ListExport.h"
#include "NewSystemDialog.h"
#include "Prompter.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace
{

const QString programTitle = QStringLiteral("helmWISE");
const QString saveCurrentQuestion = QStringLiteral("Do you wish to save the current file");

QString configFilter()
{
    return QStringLiteral("Windows Tidelex Files (*.TWZ *.twz);;All Files (*)");
}

QString &templateOverride()
{
    static QString path;
    return path;
}

FileCommands::NewSystemRunner &newSystemRunner()
{
    static FileCommands::NewSystemRunner runner;
    return runner;
}

// "Ship.TDZ" -> "Ship.TWZ" in the same folder.
QString twzNameFor(const QString &fileName)
{
    const QFileInfo info(fileName);
    return QDir(info.path()).filePath(info.completeBaseName() + QStringLiteral(".TWZ"));
}

} // namespace

FileCommands::FileCommands(ConfigDocument &doc, QWidget *window)
    : QObject(window), doc_(doc), window_(window)
{
}

void FileCommands::setTemplateFile(const QString &path)
{
    templateOverride() = path;
}

QString FileCommands::templateFile()
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

void FileCommands::setNewSystemRunner(NewSystemRunner runner)
{
    newSystemRunner() = std::move(runner);
}

int FileCommands::runNewSystem(NewSystemDialog &dialog)
{
    return newSystemRunner() ? newSystemRunner()(dialog) : dialog.exec();
}

void FileCommands::openAtStart(const QString &commandLine)
{
    showRecentFiles();
    doc_.setCurrentFile(QString());
    QString fileName = commandLine.trimmed();
    if (fileName.startsWith(QLatin1Char('"')))
        fileName.remove(0, 1);
    if (fileName.endsWith(QLatin1Char('"')))
        fileName.chop(1);
    // A file that cannot be loaded is reported (name and reason) before the
    // new configuration takes its place.
    if (fileName.isEmpty() || !loadFile(fileName))
        newConfiguration();
}

bool FileCommands::loadFile(const QString &fileName)
{
    const LoadOutcome load = loadConfigurationFile(fileName, doc_.config);
    if (!load.ok) {
        // The configuration in use, its name and its state stay as they were.
        prompter().message(window_, programTitle, load.message, QMessageBox::NoIcon,
                           loadFailureDetail(load));
        return false;
    }
    if (!load.importedDos)
        emit statusMessage(QStringLiteral("File last saved: ") + doc_.config.SysConfig.LastUpdate);
    doc_.setCurrentFile(fileName, load.importedDos);
    // Another file: nothing before it can be undone.
    doc_.resetHistory();
    AppSettings::checkMRU(fileName);
    showRecentFiles();
    emit configurationReplaced();
    return true;
}

void FileCommands::newConfiguration()
{
    emit statusMessage(QString());
    QString path = templateFile();
    const bool fromTemplate = existFile(path) && loadConfigurationFile(path, doc_.config).ok;
    // No template: an empty configuration, and the New System dialog to fill it.
    if (!fromTemplate)
        clearConfig(doc_.config);
    doc_.setCurrentFile(QString());
    doc_.setConfigChanged(false);
    emit configurationReplaced();
    if (fromTemplate)
        return;
    Configuration made = doc_.config;
    NewSystemDialog dialog(made, window_);
    dialog.setOpenInstead(true);
    int result = QDialog::Rejected;
    do {
        result = runNewSystem(dialog);
        // A file that cannot be opened brings the dialog back.
    } while (result == NewSystemDialog::OpenedFile && !loadFile(dialog.chosenFile()));
    dialog.setOpenInstead(false);
    if (result == QDialog::Accepted)
        newSystemMade(made);
}

void FileCommands::newSystemMade(const Configuration &made)
{
    // A system nobody has saved yet is unsaved work, in no file yet.
    doc_.replaceConfiguration(made, QStringLiteral("New System"));
    emit statusMessage(QString());
    emit configurationReplaced();
}

bool FileCommands::writeTo(const QString &fileName, const QString &action)
{
    QString error;
    if (!writeConfigFile(fileName, doc_.config, &error)) {
        // Nothing changes: the configuration is still unsaved and still belongs to its file.
        prompter().failure(window_, action, QStringLiteral("Unable to save"), fileName, error);
        return false;
    }
    doc_.setCurrentFile(fileName);
    doc_.setConfigChanged(false);
    emit saved();
    emit statusMessage(QStringLiteral("Saved ") + QDir::toNativeSeparators(fileName));
    AppSettings::checkMRU(fileName);
    showRecentFiles();
    return true;
}

bool FileCommands::save()
{
    emit commitRequested();
    // An imported DOS file is saved in our own format under a name of its own.
    if (doc_.currentFile().isEmpty() || doc_.importedDos())
        return saveAs();
    return writeTo(doc_.currentFile(), QStringLiteral("Save"));
}

bool FileCommands::saveAs()
{
    emit commitRequested();
    Prompt prompt;
    prompt.kind = Prompt::SaveFile;
    prompt.title = QStringLiteral("Save As");
    prompt.filter = configFilter();
    prompt.proposedName = doc_.importedDos() ? twzNameFor(doc_.currentFile()) : doc_.currentFile();
    const QString name = prompter().chooseFile(window_, prompt);
    if (name.isEmpty())
        return false;
    return writeTo(name, QStringLiteral("Save As"));
}

bool FileCommands::askToSave(const QString &question)
{
    emit commitRequested();
    if (!doc_.configChanged())
        return true;
    // The question names the configuration it is about.
    const QString which = doc_.currentFile().isEmpty()
                              ? QStringLiteral("New Configuration")
                              : QDir::toNativeSeparators(doc_.currentFile());
    const auto answer =
        prompter().question(window_, programTitle, question,
                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, which);
    if (answer == QMessageBox::No)
        return true;
    if (answer != QMessageBox::Yes)
        return false;
    // A save that did not happen stops the command, so nothing unsaved is lost.
    return save();
}

void FileCommands::newSystem()
{
    if (!askToSave(saveCurrentQuestion))
        return;
    Configuration scratch = doc_.config;
    NewSystemDialog dialog(scratch, window_);
    const int result = runNewSystem(dialog);
    if (result == NewSystemDialog::OpenedFile) {
        loadFile(dialog.chosenFile());
        return;
    }
    // The new system is not the file that was open: it starts unnamed.
    if (result == QDialog::Accepted)
        newSystemMade(scratch);
}

void FileCommands::open()
{
    if (!askToSave(saveCurrentQuestion))
        return;
    const QString name = prompter().chooseConfigurationToOpen(window_);
    if (!name.isEmpty())
        loadFile(name);
}

void FileCommands::openRecent(const QString &path)
{
    // Unsaved changes are offered for saving here as well, as New and Open do.
    if (path.isEmpty() || !askToSave(saveCurrentQuestion))
        return;
    loadFile(path);
}

void FileCommands::addRecentFiles(QMenu *menu)
{
    for (int i = 1; i <= AppSettings::MenuRecentFiles; ++i) {
        QAction *entry = menu->addAction(QString());
        entry->setObjectName(QStringLiteral("mnuFileMRU") + QString::number(i));
        entry->setVisible(false);
        connect(entry, &QAction::triggered, this,
                [this, entry] { openRecent(entry->data().toString()); });
        recent_ << entry;
    }
    recentBar_ = menu->addSeparator();
    recentBar_->setObjectName(QStringLiteral("mnuFileBarExit"));
}

void FileCommands::showRecentFiles()
{
    for (QAction *entry : recent_)
        entry->setVisible(false);
    const QStringList paths = AppSettings::recentFiles();
    // Nothing to show before the entries are in a menu.
    if (paths.isEmpty() || recent_.isEmpty())
        return;
    for (int i = 1; i <= paths.size() && i <= recent_.size(); ++i) {
        const QString path = paths[i - 1];
        if (path.trimmed().isEmpty())
            continue;
        QAction *entry = recent_[i - 1];
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        entry->setText(QLatin1Char('&') + QString::number(i % 10) + QLatin1Char(' ') + shown);
        entry->setData(path);
        entry->setVisible(true);
    }
    recentBar_->setVisible(true);
}

void FileCommands::exportLists()
{
    emit commitRequested();
    Prompt prompt;
    prompt.kind = Prompt::SaveFile;
    prompt.title = QStringLiteral("Export");
    prompt.filter = QStringLiteral("Comma Separated File (*.CSV);;Tab Separated File (*.TAB)");
    if (!doc_.currentFile().isEmpty()) {
        const QFileInfo info(doc_.currentFile());
        prompt.proposedName =
            QDir(info.path()).filePath(info.completeBaseName() + QStringLiteral(".CSV"));
    }
    const QString name = prompter().chooseFile(window_, prompt);
    if (name.isEmpty())
        return;
    QString error;
    if (!::exportLists(name, doc_.config, &error)) {
        prompter().failure(window_, QStringLiteral("Export"), QStringLiteral("Unable to export"),
                           name, error);
        return;
    }
    emit statusMessage(QStringLiteral("Exported 3 files to ") +
                       QDir::toNativeSeparators(QFileInfo(name).absolutePath()));
}
