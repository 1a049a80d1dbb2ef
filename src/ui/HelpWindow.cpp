#include "HelpWindow.h"

#include "Icons.h"
#include "WindowPlacement.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("helmWISE Help"));
    setWindowIcon(appIcon(QStringLiteral("Help")));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("txtHelp"));
    appIcon(QString()); // makes sure the resources are registered
    QFile guide(QStringLiteral(":/help.html"));
    if (guide.open(QIODevice::ReadOnly))
        browser_->setHtml(QString::fromUtf8(guide.readAll()));

    findBox_ = new QLineEdit(this);
    findBox_->setObjectName(QStringLiteral("txtHelpFind"));
    findBox_->setPlaceholderText(QStringLiteral("Search the guide"));
    auto *findButton = new QPushButton(QStringLiteral("&Find"), this);
    findButton->setObjectName(QStringLiteral("cmdHelpFind"));
    auto *status = new QLabel(this);
    auto run = [this, status] {
        status->setText(find(findBox_->text()) ? QString() : QStringLiteral("Not found"));
    };
    connect(findButton, &QPushButton::clicked, this, run);
    connect(findBox_, &QLineEdit::returnPressed, this, run);

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("Search:"), this));
    bar->addWidget(findBox_, 1);
    bar->addWidget(findButton);
    bar->addWidget(status);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);
    resize(560, 480);
}

void HelpWindow::placeFirstTime()
{
    if (placed_)
        return;
    placed_ = true;
    // A page of text at a comfortable width, centred on the program's
    // screen; most of a smaller screen.
    const QWidget *owner = parentWidget() ? parentWidget() : this;
    const QRect area = owner->screen()->availableGeometry();
    QRect page(QPoint(), QSize(820, 640).boundedTo(area.size() * 0.9));
    page.moveCenter(area.center());
    placeWindow(this, page, owner);
}

void HelpWindow::showContents()
{
    browser_->moveCursor(QTextCursor::Start);
    placeFirstTime();
    show();
    raise();
    activateWindow();
}

void HelpWindow::showSearch()
{
    showContents();
    findBox_->setFocus();
    findBox_->selectAll();
}

bool HelpWindow::find(const QString &text)
{
    if (text.isEmpty())
        return false;
    if (browser_->find(text))
        return true;
    // Wrap round once from the top.
    browser_->moveCursor(QTextCursor::Start);
    return browser_->find(text);
}
