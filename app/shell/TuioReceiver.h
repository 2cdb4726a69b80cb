#pragma once
// Listens for TUIO 1.1 datagrams on a UDP port and feeds the decoded touches to a handler.
// Runs on the GUI thread (Qt's event loop delivers the datagrams).

#include "TuioDecoder.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <memory>

class QUdpSocket;
class QTimer;

class QTTuioReceiver : public QObject {
    Q_OBJECT
public:
    // Binds address:port at once (port 0: any free port, see localPort()); isListening() tells
    // whether that worked.
    QTTuioReceiver(TouchEventHandler* handler, const QHostAddress& address, quint16 port,
                   int surfaceWidth, int surfaceHeight, QObject* parent = nullptr);
    ~QTTuioReceiver() override;

    bool isListening() const;
    quint16 port() const { return port_; }
    // Why the receiver is not listening, for the status bar (empty while it listens).
    QString problem() const { return problem_; }
    quint16 localPort() const;
    void setSurfaceSize(int width, int height) { decoder_.setSurfaceSize(width, height); }
    const TuioDecoder& decoder() const { return decoder_; }

private slots:
    void readPendingDatagrams();
    void checkSilence();

private:
    TuioDecoder decoder_;
    QUdpSocket* socket_;
    QTimer* silenceTimer_;
    quint16 port_;
    QString problem_;
};
