#include "SplashScreen.h"

#include "Icons.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace
{
SplashScreen *visibleSplash = nullptr;
}

SplashScreen::SplashScreen(QWidget *parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setStyleSheet(QStringLiteral("SplashScreen { background: #f1faee; border: 2px solid #1d3557; }"));

    auto *picLogo = new QLabel(this);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setPixmap(appLogo(120));

    auto *title = new QLabel(QStringLiteral("helmWISE"), this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    title->setFont(big);
    auto *subtitle = new QLabel(QStringLiteral("Tidelex Analog configuration"), this);
    auto *lblCompany = new QLabel(QStringLiteral("Corvane Telecom Limited"), this);
    lblCompany->setObjectName(QStringLiteral("lblCompany"));

    auto *text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(subtitle);
    text->addWidget(lblCompany);
    text->addSpacing(8);
    for (int i = 0; i < MessageLines; ++i) {
        auto *line = new QLabel(this);
        line->setObjectName(QStringLiteral("labMsgs") + QString::number(i));
        line->setMinimumWidth(320);
        labMsgs_ << line;
        text->addWidget(line);
    }
    label1_ = new QLabel(QStringLiteral("OK"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setAlignment(Qt::AlignRight);
    text->addWidget(label1_);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setSpacing(18);
    layout->addWidget(picLogo, 0, Qt::AlignTop);
    layout->addLayout(text);

    // Load step: the version line, "OK" hidden until the About box asks for it.
    pushMessage(QStringLiteral("Version ") + QStringLiteral(HELMWISE_VERSION));
    label1_->hide();

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(3000);
    timer1_->setSingleShot(true);
    connect(timer1_, &QTimer::timeout, this, [this] {
        timer1_->stop();
        close();
    });
    timer1_->start();
    visibleSplash = this;
    qApp->installEventFilter(this);
}

SplashScreen::~SplashScreen()
{
    if (visibleSplash == this)
        visibleSplash = nullptr;
}

void SplashScreen::showHelp()
{
    // As the About box it stays until clicked or closed.
    timer1_->stop();
    label1_->show();
}

QStringList SplashScreen::messages() const
{
    QStringList texts;
    for (const QLabel *line : labMsgs_)
        texts << line->text();
    return texts;
}

void SplashScreen::pushMessage(const QString &text)
{
    for (int i = 0; i + 1 < labMsgs_.size(); ++i)
        labMsgs_[i]->setText(labMsgs_[i + 1]->text());
    labMsgs_.last()->setText(text);
}

void SplashScreen::mousePressEvent(QMouseEvent *)
{
    close();
}

bool SplashScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched != this && isVisible()) {
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->isWindow() && (widget->inherits("QDialog") || widget->isModal()))
            close();
    }
    return QDialog::eventFilter(watched, event);
}

void splashMessage(const QString &text)
{
    if (visibleSplash && visibleSplash->isVisible())
        visibleSplash->pushMessage(text);
}
