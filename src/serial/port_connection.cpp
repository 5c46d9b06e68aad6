#include "serial/port_connection.h"

#include "platform/port_address.h"
#include "serial/port_texts.h"

namespace brantel {
namespace {

std::string FailureText(int number, const std::optional<std::string>& device,
                        const PortTransport* transport) {
    if (!device) {
        return "COM" + std::to_string(number) + " is none of COM1 to COM4";
    }
    return *device + ": " +
           (transport != nullptr ? transport->Failure() : std::string(kBadNetworkAddress));
}

}  // namespace

void PortConnection::DeleteLater::operator()(PortTransport* port) const {
    port->Close();
    port->deleteLater();
}

PortConnection::PortConnection(LogSink log,
                               std::function<std::optional<std::string>(int)> deviceFor,
                               QObject* parent)
    : QObject(parent), log_(std::move(log)), deviceFor_(std::move(deviceFor)) {}

PortConnection::~PortConnection() {
    Release();
}

bool PortConnection::OpenPort(int number, const LineSettings& line) {
    if (openPortNumber_ != 0) {
        ClosePort();
    }
    Release();
    const std::optional<std::string> device = deviceFor_(number);
    Held transport = device ? Held(MakePortTransport(*device).release()) : nullptr;
    bool success = false;
    if (transport) {
        opening_ = transport.get();
        openingNumber_ = number;
        success = transport->Open(line);
        if (opening_ != transport.get()) {
            // Given up while connecting: whatever gave it up has logged its end.
            return false;
        }
        opening_ = nullptr;
    }
    openFailure_ = success ? std::string() : FailureText(number, device, transport.get());
    openFailureMayPass_ = !success && transport && transport->FailureMayPass();
    if (!success) {
        // A port that opened but refused its line settings is of no use: it is let go at once.
        log_(PortBusyLine(number), kPortStatusGreen);
        if (transport && transport->LineRefused()) {
            log_(PortNoteLine(number, transport->Failure()), kPortStatusGreen);
        }
        return false;
    }
    PortTransport* held = transport.get();
    connect(held, &PortTransport::Vanished, this, [this, held] {
        if (held == port_.get()) {
            ClosePort();
            emit Released();
        }
    });
    connect(held, &PortTransport::Arrived, this, [this, held] {
        if (held == port_.get()) {
            emit Arrived();
        }
    });
    port_ = std::move(transport);
    log_(PortOpenedLine(number), kPortStatusGreen);
    openPortNumber_ = number;
    return true;
}

void PortConnection::ClosePort() {
    if (port_ && openPortNumber_ != 0) {
        log_(PortClosedLine(openPortNumber_), kPortStatusGreen);
    }
    Release();
}

void PortConnection::BeginSend() {
    if (port_) {
        port_->BeforeSend();
    }
}

void PortConnection::EndSend() {
    if (port_) {
        port_->AfterSend();
    }
}

void PortConnection::Release() {
    if (opening_ != nullptr) {
        opening_->Abort();
        opening_ = nullptr;
        openFailure_ = "the open was given up";
        log_(PortBusyLine(openingNumber_), kPortStatusGreen);
    }
    port_.reset();
    openPortNumber_ = 0;
}

}  // namespace brantel
