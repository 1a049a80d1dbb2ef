#pragma once
// The find field above the list: typing a number or part of a name narrows
// the list, the grid and the tree to the matching records; Enter opens the
// first match, Escape clears the field and closes the bar.
#include <QWidget>

class QLabel;
class QLineEdit;

class FindBar : public QWidget
{
    Q_OBJECT
  public:
    explicit FindBar(QWidget *parent = nullptr);

    QString text() const;
    // Shows the bar with the focus in the field, its text selected.
    void open();
    // How many records match, shown beside the field.
    void setMatchCount(int matches);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  signals:
    void searchChanged(const QString &text);
    void openFirstMatch();
    // The bar was closed; its text is empty again.
    void closed();

  private:
    void close();

    QLineEdit *txtFind_;
    QLabel *labFound_;
};
