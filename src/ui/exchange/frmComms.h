#pragma once
// "Communications Terminal": the traffic on the Programming Module's line in
// colour (received control bytes red, sent control bytes blue, sent command
// letters green, received text plain), and keys typed straight to the
// exchange. Created hidden with the main window; its close box hides it.
#include "mdlSerial.h"

#include <QWidget>

class ExchangeConnection;
class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QStatusBar;

class frmComms : public QWidget {
    Q_OBJECT
public:
    // Text beyond this many characters is trimmed by TrimCharacters from the top.
    static constexpr int TrimThreshold = 8192;
    static constexpr int TrimCharacters = 4096;

    explicit frmComms(ExchangeConnection &exchange, QWidget *parent = nullptr);

    // Adds one traced chunk at the end, trimming the oldest text first.
    void append(const QList<TraceFragment> &fragments);
    QString text() const;
    QMenu *popupMenu() const { return mnuTermPop_; }
    // Set while the program exits: the close box then really closes.
    void setAppClosing(bool closing) { appClosing_ = closing; }
    // The first time it is shown, centred over the main window.
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void enterSetup();
    void exitSetup();
    void updateCommands();
    void sendKey(const QString &text, int key);

    ExchangeConnection &exchange_;
    QPlainTextEdit *term_;
    QStatusBar *sbStatus_;
    QLabel *state_;
    QMenu *mnuTermPop_;
    QAction *mnuTermShow_;
    QAction *mnuTermTdl_;
    QAction *mnuTermStop_;
    bool appClosing_ = false;
    bool placed_ = false;
};
