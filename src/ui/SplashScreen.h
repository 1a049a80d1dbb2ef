#pragma once
// The splash window: logo, company, version line and four message lines.
// Shown at start-up (the module search writes its progress into it) and as
// the About box; it closes after three seconds or on a click, and at once
// when a dialog opens, so it never covers one.
#include <QDialog>
#include <QList>

class QLabel;
class QTimer;

class SplashScreen : public QDialog
{
    Q_OBJECT
  public:
    static constexpr int MessageLines = 4;

    explicit SplashScreen(QWidget *parent = nullptr);
    ~SplashScreen() override;

    // Shows the "OK" label (the About box).
    void showHelp();
    QStringList messages() const;
    void pushMessage(const QString &text);

  protected:
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QList<QLabel *> labMsgs_;
    QLabel *label1_ = nullptr;
    QTimer *timer1_ = nullptr;
};

// Moves the splash's message lines up one and writes `text` in the last
// line; does nothing while no splash window is visible.
void splashMessage(const QString &text);
