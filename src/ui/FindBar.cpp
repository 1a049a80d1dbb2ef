#include "FindBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

FindBar::FindBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fmeFind"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto *label = new QLabel(QStringLiteral("&Find:"), this);
    txtFind_ = new QLineEdit(this);
    txtFind_->setObjectName(QStringLiteral("txtFind"));
    txtFind_->setPlaceholderText(QStringLiteral("Number or part of a name"));
    txtFind_->setClearButtonEnabled(true);
    label->setBuddy(txtFind_);
    labFound_ = new QLabel(this);
    labFound_->setObjectName(QStringLiteral("labFound"));
    auto *cmdClose = new QToolButton(this);
    cmdClose->setObjectName(QStringLiteral("cmdFindClose"));
    cmdClose->setText(QStringLiteral("Close"));
    cmdClose->setToolTip(QStringLiteral("Show every record again (Esc)"));
    cmdClose->setAutoRaise(true);
    layout->addWidget(label);
    layout->addWidget(txtFind_, 1);
    layout->addWidget(labFound_);
    layout->addWidget(cmdClose);

    connect(txtFind_, &QLineEdit::textChanged, this, &FindBar::searchChanged);
    connect(txtFind_, &QLineEdit::returnPressed, this, &FindBar::openFirstMatch);
    connect(cmdClose, &QToolButton::clicked, this, &FindBar::close);
    txtFind_->installEventFilter(this);
    hide();
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtFind_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QString FindBar::text() const
{
    return txtFind_->text();
}

void FindBar::open()
{
    show();
    txtFind_->setFocus(Qt::ShortcutFocusReason);
    txtFind_->selectAll();
}

void FindBar::setMatchCount(int matches)
{
    labFound_->setText(txtFind_->text().trimmed().isEmpty() ? QString()
                       : matches == 1                       ? QStringLiteral("1 found")
                                      : QStringLiteral("%1 found").arg(matches));
}

void FindBar::close()
{
    txtFind_->clear();
    hide();
    emit closed();
}
