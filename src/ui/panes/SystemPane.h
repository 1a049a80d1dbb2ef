#pragma once
// System settings pane (vspData element 0): name, password, PIN, system
// size and the guaranteed-access extensions.
#include <QWidget>

class ConfigDocument;

class SystemPane : public QWidget {
    Q_OBJECT
public:
    explicit SystemPane(ConfigDocument &doc, QWidget *parent = nullptr);
    void DisplaySysConfig();
    void commitPending();

signals:
    void statusMessage(const QString &text);
    void nodeTextChanged(const QString &key, const QString &text);

private:
    struct Private;
    Private *d;
};
