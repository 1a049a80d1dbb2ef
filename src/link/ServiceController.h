#pragma once
// The exchange's service commands: read or change the tie PIN and the setup
// password, read or set the clock, ask for the firmware version, reboot.
// Each starts with the enter-setup sequence. A new value is checked first;
// when it is refused the check's message is returned and nothing is sent.
// A write counts as done only on the exchange's word: the PIN and password
// are read back and compared, the clock update is followed by a read.
#include "LinkOperation.h"

#include <QByteArray>
#include <QString>

class ServiceController : public LinkOperation
{
    Q_OBJECT
  public:
    explicit ServiceController(SerialLink &link, QObject *parent = nullptr);
    ~ServiceController() override;

    // Reads: valueRead() with the four PIN digits (empty: no PIN), the
    // password, the clock ("hh:mm:ss dd/mm/yy") or the firmware message,
    // then finished().
    void readPin();
    void readPassword();
    void readClock();
    void readVersion();

    // Writes: an empty result when the value was queued (finished() follows
    // once the exchange has confirmed it), otherwise the refusal and nothing
    // is sent.
    QString writePin(const QString &pin); // "" removes the PIN
    QString writePassword(const QString &typed);
    QString setClock(const QString &text); // "hh:mm:ss dd/mm/yy"
    void reboot();

    // The firmware byte's two characters of the last version read.
    QString versionReply() const { return m_versionReply; }

  signals:
    void valueRead(const QString &value);

  private:
    enum class Task {
        None,
        ReadPin,
        WritePin,
        ReadPassword,
        WritePassword,
        ReadClock,
        SetClock,
        Version,
        Reboot
    };
    bool startTask(Task task);
    void writeAndReadBack(int owner, int address, const QByteArray &bytes);
    bool collect(Task task, int id, const QByteArray &text, int count);
    void checkReadBack(const QString &what);
    void onPin(int id, const QByteArray &text);
    void onPassword(int id, const QByteArray &text);
    void onClock(int id, const QByteArray &text);
    void onVersion(const QByteArray &text);
    void stopped() override { m_task = Task::None; }

    Task m_task = Task::None;
    QByteArray m_read;    // the bytes read so far
    QByteArray m_written; // what a write sent, to compare with its read-back
    QString m_versionReply;
};
