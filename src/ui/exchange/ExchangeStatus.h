#pragma once
// The main window's status field as the exchange commands use it: a
// command's progress ("Asking the exchange for…") shows while it runs and
// goes when the line is free again; its outcome ("Tie PIN set…") shows
// until the next command starts, or for OutcomeMs. A text the editor wrote
// over it in between is left alone.
#include <QObject>
#include <QString>
#include <QTimer>

class QLabel;

class ExchangeStatus : public QObject
{
    Q_OBJECT
  public:
    static constexpr int OutcomeMs = 10000;

    ExchangeStatus(QLabel *field, QObject *parent);

    void showProgress(const QString &text);
    void showOutcome(const QString &text);
    // Follows the connection: a command starting, or the line free again.
    void lineBusy(bool busy);

  private:
    void show(const QString &text, bool progress);
    void clear();

    QLabel *field_;
    QTimer outcomeTimer_;
    QString shown_;
    bool progress_ = false;
};
