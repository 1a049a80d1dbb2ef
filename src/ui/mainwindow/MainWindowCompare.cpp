// Comparing the open configuration with another one: a file chosen by the
// technician, or what the exchange holds. The open configuration is never
// touched.
#include "MainWindow.h"

#include "ConfigDocument.h"
#include "ExchangeImage.h"
#include "ConfigLoader.h"
#include "Prompter.h"
#include "CompareWindow.h"

#include <QFileInfo>

void MainWindow::compareWithFile()
{
    commitPanes();
    const QString title = QStringLiteral("Compare With File");
    const QString name = prompter().chooseConfigurationToOpen(this, title);
    if (name.isEmpty())
        return;
    Configuration other = makeDefaultConfiguration();
    const LoadOutcome load = loadConfigurationFile(name, other);
    if (!load.ok) {
        prompter().message(this, title, load.message, QMessageBox::Warning,
                           loadFailureDetail(load));
        return;
    }
    const QString fileName = QFileInfo(name).fileName();
    showComparison(other, fileName, title + QStringLiteral(" - ") + fileName, false);
}

void MainWindow::compareWithExchange()
{
    const QString title = QStringLiteral("Compare with Exchange");
    if (!exchange_->lineReady(title))
        return;
    commitPanes();
    exchange_->readExchange(title, [this, title](const QByteArray &image) {
        // The exchange keeps no classes: the open configuration's stand in,
        // as they do when it is read in.
        Configuration exchange = doc_.config;
        if (!decodeExchMemory(image, exchange)) {
            prompter().message(this, title,
                               QStringLiteral("The exchange sent an image that cannot be read."),
                               QMessageBox::Critical);
            return;
        }
        // Nor names: they would all differ.
        showComparison(exchange, QStringLiteral("the exchange"), title, true);
    });
}

void MainWindow::showComparison(const Configuration &other, const QString &otherName,
                             const QString &title, bool ignoreNames)
{
    // One comparison at a time: a new one takes the place of the last.
    if (compare_)
        compare_->close();
    compare_ = new CompareWindow(doc_, other, otherName, title, this);
    compare_->setAttribute(Qt::WA_DeleteOnClose);
    compare_->setIgnoreNames(ignoreNames);
    connect(compare_, &CompareWindow::openRecord, this, &MainWindow::navigateTo);
    compare_->show();
}
