#pragma once
// The user guide, built into the program and shown in a window of its own.
#include <QWidget>

class QLineEdit;
class QTextBrowser;

class HelpWindow : public QWidget
{
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget *parent = nullptr);
    // Help > Contents: the guide from its top.
    void showContents();
    // Help > Search For Help On...: the guide with the search box ready.
    void showSearch();
    // Finds the next place holding `text`; false when there is none.
    bool find(const QString &text);

  private:
    void placeFirstTime();

    bool placed_ = false;
    QTextBrowser *browser_;
    QLineEdit *findBox_;
};
