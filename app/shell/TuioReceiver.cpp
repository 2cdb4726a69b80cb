#include "TuioReceiver.h"

#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

#include <chrono>
#include <iostream>

namespace {
int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

QTTuioReceiver::QTTuioReceiver(TouchEventHandler* handler, const QHostAddress& address,
                               quint16 port, int surfaceWidth, int surfaceHeight, QObject* parent)
    : QObject(parent),
      decoder_(handler, surfaceWidth, surfaceHeight),
      socket_(new QUdpSocket(this)),
      silenceTimer_(new QTimer(this)),
      port_(port)
{
    if (!socket_->bind(address, port)) {
        std::cout << "TUIO: cannot listen on " << address.toString().toStdString() << ":" << port
                  << " (" << socket_->errorString().toStdString() << ")" << std::endl;
        problem_ = QString("No TUIO input: UDP port %1 is taken (another port: --tuio-port N or "
                           "tuio_port)")
                       .arg(port);
        if (socket_->error() != QAbstractSocket::AddressInUseError)
            problem_ = QString("No TUIO input on UDP port %1: %2").arg(port).arg(socket_->errorString());
    }
    connect(socket_, &QUdpSocket::readyRead, this, &QTTuioReceiver::readPendingDatagrams);
    connect(silenceTimer_, &QTimer::timeout, this, &QTTuioReceiver::checkSilence);
    silenceTimer_->start(250);
}

QTTuioReceiver::~QTTuioReceiver() = default;

bool QTTuioReceiver::isListening() const
{
    return socket_->state() == QAbstractSocket::BoundState;
}

quint16 QTTuioReceiver::localPort() const
{
    return socket_->localPort();
}

void QTTuioReceiver::readPendingDatagrams()
{
    while (socket_->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket_->receiveDatagram();
        const QByteArray data = datagram.data();
        // Senders that name no source are told apart by host: one-shot tools send every
        // datagram from a new port.
        const std::string sender = datagram.senderAddress().toString().toStdString();
        decoder_.processPacket(data.constData(), static_cast<std::size_t>(data.size()), sender,
                               nowMs());
    }
}

void QTTuioReceiver::checkSilence()
{
    decoder_.releaseSilentSources(nowMs());
}
