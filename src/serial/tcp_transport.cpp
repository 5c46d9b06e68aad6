#include "serial/tcp_transport.h"

#include <QCoreApplication>
#include <QNetworkProxy>
#include <QTimer>
#include <algorithm>

#include "serial/device_io.h"

namespace brantel {
namespace {

// Received bytes that Qt holds before the poll takes them; the rest waits in the kernel, and
// TCP holds the server back.
constexpr qint64 kHeldInputBytes = 4096;

}  // namespace

TcpTransport::TcpTransport(std::string host, std::uint16_t port, std::chrono::milliseconds openTime)
    : host_(std::move(host)), port_(port), openTime_(openTime) {
    // A serial server is reached directly, whatever proxy the desktop names for the web.
    socket_.setProxy(QNetworkProxy::NoProxy);
    socket_.setReadBufferSize(kHeldInputBytes);
}

bool TcpTransport::Open(const LineSettings& line) {
    failure_.clear();
    failureMayPass_ = false;
    lineRefused_ = false;
    openDeadline_.setRemainingTime(openTime_);
    if (!Connect() || !Configure(line)) {
        socket_.abort();
        return false;
    }
    // The server may have closed the connection right after its last answer.
    if (!Connected()) {
        failure_ = ConnectionFailure();
        return false;
    }
    connect(&socket_, &QTcpSocket::disconnected, this, &PortTransport::Vanished);
    connect(&socket_, &QTcpSocket::readyRead, this, &PortTransport::Arrived);
    return true;
}

void TcpTransport::Close() {
    disconnect(&socket_, nullptr, this, nullptr);
    socket_.abort();
}

void TcpTransport::Abort() {
    aborted_ = true;
}

int TcpTransport::Write(std::string_view piece) {
    // A byte stream cannot take back the part of a piece that missed its time without
    // breaking what follows: it stays queued and goes out behind it.
    return WriteWithin(socket_, piece, WriteDeadline(piece.size())) ? static_cast<int>(piece.size())
                                                                    : 0;
}

std::string TcpTransport::Read(int most) {
    FetchPending(socket_, socket_.socketDescriptor(), most);
    return socket_.read(most).toStdString();
}

bool TcpTransport::Configure(const LineSettings& /*line*/) {
    return true;
}

bool TcpTransport::Connect() {
    socket_.connectToHost(QString::fromStdString(host_), port_);
    if (!WaitFor([this] { return Connected(); })) {
        return false;
    }
    // Set on the connected socket, so a frame leaves at once instead of waiting for the
    // acknowledgement of the control command before it (and RTS keeps its timing).
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

std::string TcpTransport::ConnectionFailure() {
    std::string failure = socket_.errorString().toLocal8Bit().toStdString();
    // ser2net, for one, accepts and closes at once while the device is still held for a
    // client that has just left.
    failureMayPass_ = socket_.error() == QAbstractSocket::RemoteHostClosedError;
    if (failureMayPass_) {
        failure += kServerStillHolds;
    }
    return failure;
}

std::string TcpTransport::OpenTimeText() const {
    const auto ms = openTime_.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

bool TcpTransport::WaitFor(const std::function<bool()>& done) {
    // Wakes the wait for events when the time is up. A timer may fire a little before its
    // time, and nothing else may come to wake the wait, so it is set again for what is left.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    while (!done()) {
        if (aborted_) {
            failure_ = "the open was given up";
            return false;
        }
        if (socket_.state() == QAbstractSocket::UnconnectedState) {
            failure_ = ConnectionFailure();
            return false;
        }
        if (openDeadline_.hasExpired()) {
            failure_ = "no answer from " + host_ + ":" + std::to_string(port_) + " within " +
                       OpenTimeText();
            return false;
        }
        wake.start(static_cast<int>(std::max<qint64>(1, openDeadline_.remainingTime())));
        // The window keeps painting and its timers keep running; clicks and keys wait.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void TcpTransport::Send(const std::string& bytes) {
    if (!bytes.empty() && Connected()) {
        socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
        socket_.flush();
    }
}

bool TcpTransport::Connected() const {
    return socket_.state() == QAbstractSocket::ConnectedState;
}

}  // namespace brantel
