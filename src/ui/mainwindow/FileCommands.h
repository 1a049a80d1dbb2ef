#pragma once
// The File menu's commands on the open configuration: New, Open, the
// recent files, Save, Save As and Export, and the save question that keeps
// unsaved work from being replaced or closed away. Questions and file
// choices go through the Prompter; the window shows what follows from the
// signals.
#include <QList>
#include <QObject>

#include <functional>

class ConfigDocument;
class NewSystemDialog;
class QAction;
class QMenu;
class QWidget;
struct Configuration;

class FileCommands : public QObject
{
    Q_OBJECT
  public:
    // `window` is the parent of the boxes and dialogs the commands open.
    FileCommands(ConfigDocument &doc, QWidget *window);

    // At start: the recent files, then the file named on the command line
    // (quotes taken away) or, without one or when it cannot be read, a new
    // configuration.
    void openAtStart(const QString &commandLine);
    // Reads `fileName` in place of the open configuration; a file that
    // cannot be read is told (name and reason) and changes nothing.
    bool loadFile(const QString &fileName);
    // The template, or an empty configuration and the New System dialog.
    void newConfiguration();
    bool save();
    bool saveAs();
    void newSystem();
    void open();
    void openRecent(const QString &path);
    void exportLists();
    // Asks `question` when there is unsaved work, and saves on Yes; false
    // when the command asking must stop (Cancel, or a save that failed).
    bool askToSave(const QString &question);

    // Adds the recent-file entries, and the bar under them, to `menu`.
    void addRecentFiles(QMenu *menu);
    void showRecentFiles();

    // The file a new configuration starts from; "default.TWZ" beside the program.
    static void setTemplateFile(const QString &path);
    static QString templateFile();
    // How the New System dialog is run (tests answer it without a window).
    using NewSystemRunner = std::function<int(NewSystemDialog &)>;
    static void setNewSystemRunner(NewSystemRunner runner);

  signals:
    // Before a command reads the configuration: a field still being typed
    // goes into it first.
    void commitRequested();
    // Another configuration is open: every view shows it afresh.
    void configurationReplaced();
    // The configuration was saved, perhaps under another name.
    void saved();
    void statusMessage(const QString &text);

  private:
    void newSystemMade(const Configuration &made);
    bool writeTo(const QString &fileName, const QString &action);
    int runNewSystem(NewSystemDialog &dialog);

    ConfigDocument &doc_;
    QWidget *window_;
    QList<QAction *> recent_;
    QAction *recentBar_ = nullptr;
};
