#include "support/ser2net_server.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QThread>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace brantel::test {
namespace {

// Whether a socket listens on 127.0.0.1:port, from the kernel's table, without connecting
// (a connection would open the device).
bool Listening(std::uint16_t port) {
    std::ifstream table("/proc/net/tcp");
    std::ostringstream wanted;
    wanted << "0100007F:" << std::uppercase << std::hex;
    wanted.width(4);
    wanted.fill('0');
    wanted << port;
    constexpr const char* kListenState = "0A";
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (local == wanted.str() && state == kListenState) {
            return true;
        }
    }
    return false;
}

std::string Connection(const std::string& name, const std::string& accepter,
                       const std::string& device, const std::string& line) {
    return "connection: &" + name + "\n    accepter: " + accepter + "\n    connector: serialdev," +
           device + "," + line + ",local\n";
}

}  // namespace

sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

int BindLoopback(std::uint16_t& port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("no free TCP port");
    }
    port = ntohs(address.sin_port);
    return fd;
}

std::uint16_t FreeTcpPort() {
    std::uint16_t port = 0;
    close(BindLoopback(port));
    return port;
}

std::string Ser2netServer::Program() {
    // Debian installs it for the administrator, outside a user's PATH.
    return QStandardPaths::findExecutable("ser2net", {"/usr/sbin", "/sbin", "/usr/bin"})
        .toStdString();
}

Ser2netServer::Ser2netServer(const std::string& device, const std::string& line)
    : rawPort_(FreeTcpPort()), rfc2217Port_(FreeTcpPort()) {
    const std::string config = scratch_.File("ser2net.yaml");
    SetFileText(
        config,
        "%YAML 1.1\n---\n" +
            Connection("raw", "tcp,127.0.0.1," + std::to_string(rawPort_), device, line) +
            Connection("rfc2217", "telnet(rfc2217),tcp,127.0.0.1," + std::to_string(rfc2217Port_),
                       device, line));
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardOutputFile(QString::fromStdString(scratch_.File("ser2net.log")));
    // In the foreground, without UUCP lock files (a pseudo-terminal needs none).
    process_.start(QString::fromStdString(Program()),
                   {"-n", "-d", "-u", "-c", QString::fromStdString(config)});
    const QDeadlineTimer deadline(5000);
    while (!(Listening(rawPort_) && Listening(rfc2217Port_))) {
        if (deadline.hasExpired() || process_.state() == QProcess::NotRunning) {
            throw std::runtime_error("ser2net did not start: " +
                                     FileText(scratch_.File("ser2net.log")));
        }
        QThread::msleep(10);
    }
}

Ser2netServer::~Ser2netServer() {
    process_.terminate();
    if (!process_.waitForFinished(2000)) {
        Kill();
    }
}

std::string Ser2netServer::RawAddress() const {
    return "tcp://127.0.0.1:" + std::to_string(rawPort_);
}

std::string Ser2netServer::Rfc2217Address() const {
    return "rfc2217://127.0.0.1:" + std::to_string(rfc2217Port_);
}

void Ser2netServer::Kill() {
    process_.kill();
    process_.waitForFinished(2000);
}

}  // namespace brantel::test
