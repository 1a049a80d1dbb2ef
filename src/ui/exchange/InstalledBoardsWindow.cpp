#include "InstalledBoardsWindow.h"

#include "BoardChange.h"
#include "BoardStrip.h"
#include "BoardsController.h"
#include "ConfigDocument.h"
#include "Prompter.h"
#include "SlotMenus.h"
#include "SlotTexts.h"

#include <QGroupBox>
#include <QHideEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

using namespace tidelex;

namespace
{

QString slotsTitle()
{
    return QStringLiteral("Slots Display");
}

} // namespace

struct InstalledBoardsWindow::Private {
    InstalledBoardsWindow *q;
    ConfigDocument &doc;
    BoardsController reader;
    BoardStrip *strip = nullptr;
    QLabel *lblDifferences = nullptr;
    QListWidget *lstDifferences = nullptr;
    QProgressBar *pgbStatus = nullptr;
    QStatusBar *barStatus = nullptr;

    Private(InstalledBoardsWindow *window, ConfigDocument &document, SerialLink &link)
        : q(window), doc(document), reader(link)
    {
    }

    InstalledBoardList &installed() { return doc.InstalledBoards; }

    void build();
    void displayCards(int slot, int board, bool known);
    void readEnded();
    void listDifferences();
    void showSlotMenu(int slot, const QPoint &globalPos);
    void boardChosen(int slot, int board);
};

InstalledBoardsWindow::InstalledBoardsWindow(ConfigDocument &doc, SerialLink &link, QWidget *parent)
    : QDialog(parent), d(new Private(this, doc, link))
{
    setObjectName(QStringLiteral("frmSlots"));
    setWindowTitle(slotsTitle());
    d->build();
    showInstalled();
    resize(sizeHint().expandedTo(QSize(560, 380)));
}

InstalledBoardsWindow::~InstalledBoardsWindow()
{
    d->reader.cancel();
    delete d;
}

void InstalledBoardsWindow::Private::build()
{
    auto *layout = new QVBoxLayout(q);
    auto *fmeConfig = new QGroupBox(QStringLiteral("Boards in the exchange"), q);
    fmeConfig->setObjectName(QStringLiteral("fmeConfig"));
    auto *frameBox = new QVBoxLayout(fmeConfig);
    strip = new BoardStrip(QStringLiteral("shpSlot"), fmeConfig);
    strip->setShapeMinimumSize(QSize(22, 110));
    strip->setFocusPolicy(Qt::StrongFocus);
    strip->setTipSource([this](int slot, int) {
        return installedSlotTip(doc.config, installed(), slot);
    });
    frameBox->addWidget(strip, 0, Qt::AlignLeft);
    layout->addWidget(fmeConfig);

    lblDifferences = new QLabel(q);
    lblDifferences->setObjectName(QStringLiteral("lblDifferences"));
    lblDifferences->setWordWrap(true);
    layout->addWidget(lblDifferences);
    lstDifferences = new QListWidget(q);
    lstDifferences->setObjectName(QStringLiteral("lstDifferences"));
    lstDifferences->setMinimumHeight(4 * lstDifferences->fontMetrics().height());
    layout->addWidget(lstDifferences, 1);

    auto *buttons = new QHBoxLayout;
    pgbStatus = new QProgressBar(q);
    pgbStatus->setObjectName(QStringLiteral("pgbStatus"));
    pgbStatus->setRange(0, BoardsController::SlotsRead);
    pgbStatus->setTextVisible(false);
    pgbStatus->hide();
    buttons->addWidget(pgbStatus, 1);
    auto *cmdClose = new QPushButton(QStringLiteral("Close"), q);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);
    barStatus = new QStatusBar(q);
    barStatus->setObjectName(QStringLiteral("barStatus"));
    barStatus->setSizeGripEnabled(false);
    layout->addWidget(barStatus);

    QObject::connect(cmdClose, &QPushButton::clicked, q, &QDialog::close);
    QObject::connect(strip, &BoardStrip::slotMenuRequested, q,
                     [this](int slot, const QPoint &at) { showSlotMenu(slot, at); });
    QObject::connect(&reader, &BoardsController::slotRead, q,
                     [this](int slot, int board, bool known) { displayCards(slot, board, known); });
    QObject::connect(&reader, &LinkOperation::progress, q,
                     [this](int value, int maximum, const QString &status) {
                         pgbStatus->setRange(0, maximum);
                         pgbStatus->setValue(value);
                         if (!status.isEmpty())
                             barStatus->showMessage(status);
                     });
    QObject::connect(&reader, &LinkOperation::finished, q, [this] {
        readEnded();
        // The cabinet as read replaces what was known of it only once every slot has answered.
        installed() = reader.boards();
        q->showInstalled();
        barStatus->showMessage(QStringLiteral("Right-Click to see board Type"));
    });
    QObject::connect(&reader, &LinkOperation::cancelled, q, [this] {
        readEnded();
        barStatus->showMessage(QStringLiteral("Reading the boards was cancelled."));
    });
    QObject::connect(&reader, &LinkOperation::failed, q, [this](const QString &message) {
        readEnded();
        barStatus->showMessage(message);
        const QString lead = QStringLiteral("The boards could not be read from the exchange.");
        lblDifferences->setText(lead);
        // Told once the link has finished its own handling of the failure.
        QTimer::singleShot(0, q, [this, lead, message] {
            prompter().message(q, slotsTitle(), lead + u'\n' + message, QMessageBox::Critical);
        });
    });
}

void InstalledBoardsWindow::Private::readEnded()
{
    pgbStatus->hide();
}

void InstalledBoardsWindow::askExchange()
{
    // White until the exchange has said what each slot holds.
    for (int slot = 0; slot < BoardsController::SlotsRead; ++slot) {
        d->strip->setSlotType(slot, -1);
        d->strip->setSlotMarked(slot, false);
    }
    d->lstDifferences->clear();
    d->lblDifferences->setText(QStringLiteral("Reading the boards from the exchange..."));
    d->pgbStatus->setValue(0);
    d->pgbStatus->show();
    d->reader.start();
}

void InstalledBoardsWindow::hideEvent(QHideEvent *event)
{
    // Hidden by the program (closed); a window system hiding it with the
    // minimised main window lets the read go on.
    if (!event->spontaneous())
        d->reader.cancel();
    QDialog::hideEvent(event);
}

BoardsController &InstalledBoardsWindow::operation()
{
    return d->reader;
}

void InstalledBoardsWindow::Private::displayCards(int slot, int board, bool known)
{
    // A report the program does not know stays white (it counts as empty).
    strip->setSlotType(slot, known ? board : -1);
}

void InstalledBoardsWindow::showInstalled()
{
    for (int slot = 0; slot < SlotCount; ++slot)
        d->strip->setSlotType(slot, d->installed()[slot]);
    d->listDifferences();
}

void InstalledBoardsWindow::Private::listDifferences()
{
    lstDifferences->clear();
    for (int slot = 0; slot < SlotCount; ++slot)
        strip->setSlotMarked(slot, false);
    const QList<SlotDifference> differences = cabinetDifferences(doc.config, installed());
    for (const SlotDifference &difference : differences) {
        strip->setSlotMarked(difference.slot, true);
        lstDifferences->addItem(slotDifferenceText(difference));
    }
    lstDifferences->setVisible(!differences.isEmpty());
    lblDifferences->setText(
        differences.isEmpty()
            ? QStringLiteral("The boards match the configuration.")
            : QStringLiteral("These slots differ from the configuration (marked orange); a "
                             "configuration sent to this exchange will not work there:"));
}

QStringList InstalledBoardsWindow::differenceTexts() const
{
    QStringList texts;
    for (int row = 0; row < d->lstDifferences->count(); ++row)
        texts << d->lstDifferences->item(row)->text();
    return texts;
}

void InstalledBoardsWindow::Private::showSlotMenu(int slot, const QPoint &globalPos)
{
    if (!reader.isRunning())
        popUpSlotMenu(slot, installed()[slot], false, q, globalPos,
                      [this, slot](int board) { boardChosen(slot, board); });
}

void InstalledBoardsWindow::Private::boardChosen(int slot, int board)
{
    if (installed()[slot] == board || !confirmBoardChange(q))
        return;
    installed()[slot] = int16_t(board);
    q->showInstalled();
}
