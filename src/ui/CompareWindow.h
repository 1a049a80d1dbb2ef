#pragma once
// The comparison window: what differs between the open configuration and
// another one (a file, or what the exchange holds), grouped by record. It
// follows the open configuration as it is edited; a double-click on a
// record opens it in the editor.
#include "Configuration.h"

#include <QDialog>

class ConfigDocument;
class QCheckBox;
class QLabel;
class DifferenceTree;

class CompareWindow : public QDialog
{
    Q_OBJECT
  public:
    // `otherName` names the other side ("ship-old.TWZ", "the exchange") in
    // the window's title "Compare With File - ship-old.TWZ" or "Compare with Exchange".
    CompareWindow(ConfigDocument &doc, const Configuration &other, const QString &otherName,
               const QString &title, QWidget *parent = nullptr);

    void setIgnoreNames(bool ignore);
    // Compares again (the open configuration may have changed).
    void refresh();

  signals:
    void openRecord(const QString &key);

  private:
    ConfigDocument &doc_;
    Configuration other_;
    QString otherName_;
    QLabel *labSummary_;
    QCheckBox *chkIgnoreNames_;
    DifferenceTree *vsDiff_;
};
