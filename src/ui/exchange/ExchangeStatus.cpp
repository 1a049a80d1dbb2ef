#include "ExchangeStatus.h"

#include <QLabel>

ExchangeStatus::ExchangeStatus(QLabel *field, QObject *parent) : QObject(parent), field_(field)
{
    outcomeTimer_.setSingleShot(true);
    outcomeTimer_.setInterval(OutcomeMs);
    connect(&outcomeTimer_, &QTimer::timeout, this, &ExchangeStatus::clear);
}

void ExchangeStatus::showProgress(const QString &text)
{
    show(text, true);
}

void ExchangeStatus::showOutcome(const QString &text)
{
    show(text, false);
}

void ExchangeStatus::lineBusy(bool busy)
{
    // A new command makes the last one's words stale; a free line ends a progress text.
    if (busy || progress_)
        clear();
}

void ExchangeStatus::show(const QString &text, bool progress)
{
    field_->setText(text);
    shown_ = text;
    progress_ = progress;
    if (progress)
        outcomeTimer_.stop();
    else
        outcomeTimer_.start();
}

void ExchangeStatus::clear()
{
    if (!shown_.isEmpty() && field_->text() == shown_)
        field_->clear();
    shown_.clear();
    progress_ = false;
    outcomeTimer_.stop();
}
