#pragma once
// "Communications Terminal": the traffic on the Programming Module's line in
// colour (received control bytes red, sent control bytes blue, sent command
// letters green, received text plain), and keys typed straight to the
// exchange. Its commands sit on a small toolbar and in the right-click menu
// (also Shift+F10 and the Menu key); an empty window says what it is for.
// Typed keys are shown (green, as sent) until the exchange is seen to
// echo them itself. Created hidden with the main window; its close box hides it.
#include "SerialLink.h"

#include <QWidget>

class ExchangeConnection;
class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QStatusBar;

class TerminalWindow : public QWidget {
    Q_OBJECT
public:
    // Text beyond this many characters is trimmed by TrimCharacters from the top.
    static constexpr int TrimThreshold = 8192;
    static constexpr int TrimCharacters = 4096;

    explicit TerminalWindow(ExchangeConnection &exchange, QWidget *parent = nullptr);

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
    void echoTyped(const QByteArray &bytes);
    void clear();

    ExchangeConnection &exchange_;
    QPlainTextEdit *term_;
    QStatusBar *sbStatus_;
    QLabel *state_;
    QMenu *mnuTermPop_;
    QAction *mnuTermShow_;
    QAction *mnuTermTdl_;
    QAction *mnuTermStop_;
    // Typed keys shown here and not yet answered by received text; set once
    // the exchange answered a key with that same key.
    QString unanswered_;
    bool exchangeEchoes_ = false;
    // How many of the last characters shown are typed keys, so Backspace can take them back.
    int echoedTail_ = 0;
    bool appClosing_ = false;
    bool placed_ = false;
};
