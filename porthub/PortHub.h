#pragma once

#include "porthub/PortHubExport.h"

#include <QByteArray>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>

class QSerialPort;

// Notification posted to the attached object (message 2024): `code` 1 = text received,
// 256 = line error.
inline constexpr int kPortHubMessage = 2024;
inline constexpr int kNotifyTextReceived = 1;
inline constexpr int kNotifyLineError = 256;

class PORTHUB_EXPORT CPortHubEvent : public QEvent {
public:
    explicit CPortHubEvent(int code);
    ~CPortHubEvent() override;
    static QEvent::Type EventType();
    const int code;
};

// Port settings. `kind` 1 is a serial port; `devicePath`, when not empty, names the device
// directly instead of `comPort`.
struct PORTHUB_EXPORT commsettag {
    int32_t kind = 1;
    uint16_t comPort = 1;
    int32_t baudRate = 38400;
    int32_t dataBits = 8;
    QString parity = QStringLiteral("N");         // "N", "E" or "O"
    QString stopBits = QStringLiteral("1");       // "1" or "2"
    QString flowControl = QStringLiteral("none"); // "none", "hardware" or "software"
    QString devicePath;
    QString displayName; // filled by GetCommSet: "COM33 (ttyUSB0)" or the device path
};

// Link states; 0 is closed. Offline makes every command operation succeed without traffic.
enum PortLinkState : int32_t {
    kLinkClosed = 0,
    kLinkOpen = 1,
    kLinkBroken = 2,
    kLinkOffline = 3,
};

// The serial port manager: one port, Windows-1252 text both ways, notifications posted to one
// attached object. Everything runs on the thread that owns the object.
class PORTHUB_EXPORT CPortHub {
public:
    CPortHub();
    virtual ~CPortHub();
    CPortHub(const CPortHub&) = delete;
    CPortHub& operator=(const CPortHub&) = delete;

    void Initialize();
    void AttatchWnd(QObject* window);
    QObject* DetatchWnd();

    void GetCommSet(commsettag* settings) const;
    void SetCommSet(const commsettag* settings);

    // Non-zero when the port is open. On failure lastOpenError() tells why.
    virtual int Open();
    virtual void Close();
    // Queues one command line; zero when refused (port not open).
    virtual int SendData(const QString& text);
    // Text received since the previous call.
    virtual QString GetInBuffAtOnce();
    // All text received since the last SendData.
    virtual QString GetInBuff();

    QString lastOpenError() const { return openError; }
    QString devicePath() const;

    int32_t openFlag = 0;
    int32_t readyFlag = 0;
    int32_t linkState = kLinkClosed;
    int16_t highestPort = 128;

protected:
    // Decodes received bytes into both input buffers and notifies the attached object.
    void TakeIncoming(const QByteArray& bytes);
    // Marks the line broken and notifies the attached object.
    void ReportLineError();
    // Hands encoded bytes to the line; false when the line refused them.
    virtual bool WriteToLine(const QByteArray& bytes);
    void Notify(int code);

private:
    void onReadyRead();
    void onError(int error);
    bool openDevice(const QString& path);
    void releaseDevice();

    commsettag settings;
    QPointer<QObject> attached;
    QString atOnceText;
    QString sinceSendText;
    QString openError;
    std::unique_ptr<QSerialPort> port;
    int lockedFd = -1;
};
