#include "TerminalWindow.h"

#include "ExchangeConnection.h"
#include "SerialLine.h"
#include "WindowPlacement.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolBar>
#include <QVBoxLayout>

namespace
{

QColor traceColour(TraceColour colour)
{
    return colour == TraceColour::Plain ? QColor(Qt::black) : QColor(QRgb(traceRgb(colour)));
}

} // namespace

TerminalWindow::TerminalWindow(ExchangeConnection &exchange, QWidget *parent)
    : QWidget(parent, Qt::Window), exchange_(exchange)
{
    setObjectName(QStringLiteral("frmComms"));
    setWindowTitle(QStringLiteral("Communications Terminal"));
    term_ = new QPlainTextEdit(this);
    term_->setObjectName(QStringLiteral("Term"));
    term_->setReadOnly(true);
    term_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    term_->setFocusPolicy(Qt::StrongFocus);
    term_->setUndoRedoEnabled(false);
    term_->setFont(QFont(QStringLiteral("Monospace")));
    // The traffic colours are fixed: a light page keeps them readable under any theme.
    QPalette page = term_->palette();
    page.setColor(QPalette::Base, Qt::white);
    page.setColor(QPalette::Text, Qt::black);
    page.setColor(QPalette::PlaceholderText, Qt::darkGray);
    term_->setPalette(page);
    term_->setPlaceholderText(
        QStringLiteral("The traffic with the exchange shows here. Show All Messages traces "
                       "every message on the line; Enter tdlSetup opens the exchange's setup. "
                       "Keys typed here go to the exchange."));
    term_->installEventFilter(this);
    term_->viewport()->installEventFilter(this);
    term_->setContextMenuPolicy(Qt::NoContextMenu);
    sbStatus_ = new QStatusBar(this);
    sbStatus_->setObjectName(QStringLiteral("sbStatus"));
    state_ = new QLabel(sbStatus_);
    state_->setObjectName(QStringLiteral("sbStatusPanel1"));
    sbStatus_->addWidget(state_, 1);

    auto *commands = new QToolBar(this);
    commands->setObjectName(QStringLiteral("tbTerm"));
    commands->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(commands);
    layout->addWidget(term_, 1);
    layout->addWidget(sbStatus_);
    resize(640, 420);

    mnuTermPop_ = new QMenu(QStringLiteral("TerminalPopUp"), this);
    mnuTermPop_->setObjectName(QStringLiteral("mnuTermPop"));
    mnuTermShow_ = mnuTermPop_->addAction(QStringLiteral("Show &All Messages"));
    mnuTermShow_->setObjectName(QStringLiteral("mnuTermShow"));
    mnuTermShow_->setCheckable(true);
    QAction *bar = mnuTermPop_->addSeparator();
    bar->setObjectName(QStringLiteral("mnuTermBar"));
    mnuTermTdl_ = mnuTermPop_->addAction(QStringLiteral("Enter &tdlSetup"), this, &TerminalWindow::enterSetup);
    mnuTermTdl_->setObjectName(QStringLiteral("mnuTermTdl"));
    mnuTermStop_ = mnuTermPop_->addAction(QStringLiteral("E&xit tdlSetup"), this, &TerminalWindow::exitSetup);
    mnuTermStop_->setObjectName(QStringLiteral("mnuTermStop"));
    mnuTermPop_->addSeparator();
    QAction *mnuTermClear =
        mnuTermPop_->addAction(QStringLiteral("&Clear"), this, &TerminalWindow::clear);
    mnuTermClear->setObjectName(QStringLiteral("mnuTermClear"));
    // The same commands, in sight.
    commands->addActions(mnuTermPop_->actions());

    SerialLink &link = exchange_.link();
    connect(mnuTermShow_, &QAction::triggered, &link, &SerialLink::setShowAllMessages);
    connect(&link, &SerialLink::showAllMessagesChanged, mnuTermShow_, &QAction::setChecked);
    mnuTermShow_->setChecked(link.showAllMessages());
    connect(&link, &SerialLink::traced, this, &TerminalWindow::append);
    connect(&exchange_, &ExchangeConnection::busyChanged, this, &TerminalWindow::updateCommands);
    connect(&exchange_, &ExchangeConnection::stateChanged, this, &TerminalWindow::updateCommands);
    updateCommands();
}

void TerminalWindow::updateCommands()
{
    // Nothing typed or queued from here may cut into a running transfer.
    const bool free = exchange_.isOpen() && !exchange_.isBusy();
    mnuTermTdl_->setEnabled(free);
    mnuTermStop_->setEnabled(free);
    QString state = exchange_.stateText();
    if (exchange_.isBusy())
        state += QStringLiteral(" - transfer running, typing is off");
    state_->setText(state);
}

QString TerminalWindow::text() const
{
    return term_->toPlainText();
}

void TerminalWindow::append(const QList<TraceFragment> &fragments)
{
    QTextDocument *document = term_->document();
    QTextCursor cursor(document);
    if (document->characterCount() >= TrimThreshold) {
        cursor.setPosition(0);
        cursor.setPosition(TrimCharacters, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.movePosition(QTextCursor::End);
    for (const TraceFragment &fragment : fragments) {
        QTextCharFormat format;
        format.setForeground(traceColour(fragment.colour));
        // A carriage return starts a new line; the text is never read as markup.
        QString text = fragment.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        cursor.insertText(text, format);
    }
    term_->moveCursor(QTextCursor::End);
    term_->ensureCursorVisible();
    echoedTail_ = 0;
    // Received text that begins with the key typed last: the exchange echoes.
    for (const TraceFragment &fragment : fragments) {
        if (fragment.colour != TraceColour::Plain || unanswered_.isEmpty())
            continue;
        exchangeEchoes_ = exchangeEchoes_ || fragment.text.startsWith(unanswered_.back());
        unanswered_.clear();
    }
}

void TerminalWindow::clear()
{
    term_->clear();
    echoedTail_ = 0;
}

// Shows what was typed, as the exchange would if it echoed.
void TerminalWindow::echoTyped(const QByteArray &bytes)
{
    if (exchangeEchoes_)
        return;
    QTextCursor cursor(term_->document());
    cursor.movePosition(QTextCursor::End);
    if (bytes == "\b") {
        if (echoedTail_ > 0) {
            cursor.deletePreviousChar();
            --echoedTail_;
        }
        return;
    }
    const QString text = bytes == "\r" ? QStringLiteral("\n") : QString::fromLatin1(bytes);
    if (!text.at(0).isPrint() && text != QLatin1String("\n"))
        return;
    QTextCharFormat format;
    format.setForeground(traceColour(TraceColour::Green));
    cursor.insertText(text, format);
    echoedTail_ += int(text.size());
    unanswered_ += QString::fromLatin1(bytes);
    term_->moveCursor(QTextCursor::End);
}

void TerminalWindow::enterSetup()
{
    if (exchange_.isBusy() || !exchange_.isOpen())
        return;
    SerialLink &link = exchange_.link();
    link.setShowAllMessages(true);
    link.queueReset();
    link.queueEnterSetup();
}

void TerminalWindow::exitSetup()
{
    if (exchange_.isBusy())
        return;
    exchange_.link().setShowAllMessages(false);
}

void TerminalWindow::sendKey(const QString &text, int key)
{
    QByteArray bytes;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        bytes = QByteArray(1, '\r');
    else if (key == Qt::Key_Backspace)
        bytes = QByteArray(1, '\b');
    else if (key == Qt::Key_Escape)
        bytes = QByteArray(1, '\x1B');
    else
        bytes = text.toLatin1();
    if (bytes.isEmpty() || exchange_.isBusy() || !exchange_.isOpen())
        return;
    exchange_.link().line()->write(bytes);
    echoTyped(bytes);
}

bool TerminalWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != term_ && watched != term_->viewport())
        return QWidget::eventFilter(watched, event);
    if (watched == term_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Copying a selection stays possible, and the menu opens from the
        // keyboard; every other key goes to the exchange.
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll))
            return false;
        if (key->key() == Qt::Key_Menu ||
            (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            mnuTermPop_->popup(term_->viewport()->mapToGlobal(term_->cursorRect().bottomLeft()));
            return true;
        }
        sendKey(key->text(), key->key());
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        mnuTermPop_->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TerminalWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton)
        mnuTermPop_->popup(event->globalPosition().toPoint());
}

void TerminalWindow::setVisible(bool visible)
{
    if (visible && !placed_ && parentWidget()) {
        placed_ = true;
        placeWindow(this, QRect(), parentWidget());
    }
    QWidget::setVisible(visible);
}

void TerminalWindow::closeEvent(QCloseEvent *event)
{
    if (appClosing_) {
        event->accept();
        return;
    }
    hide();
    event->ignore();
}
