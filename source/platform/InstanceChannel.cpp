#include "platform/InstanceChannel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace
{
// An abstract-namespace address: a leading zero byte, then the name with the user's id.
socklen_t makeAddress(const juce::String& name, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    const auto text = (name + "-" + juce::String((int)getuid())).toStdString();
    const auto length = std::min(text.size(), sizeof(address.sun_path) - 2);
    std::memcpy(address.sun_path + 1, text.data(), length);
    return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + length);
}

constexpr int maxMessageBytes = 4096;
} // namespace

InstanceChannel::InstanceChannel(const juce::String& name, Handler onMessage)
    : juce::Thread("Instance channel"), handler(std::move(onMessage))
{
    sockaddr_un address;
    const auto length = makeAddress(name, address);
    socketFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socketFd < 0)
        return;

    if (::bind(socketFd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(socketFd, 4) != 0)
    {
        ::close(socketFd);
        socketFd = -1;
        return;
    }
    startThread();
}

InstanceChannel::~InstanceChannel()
{
    signalThreadShouldExit();
    stopThread(2000);
    if (socketFd >= 0)
        ::close(socketFd);
}

void InstanceChannel::run()
{
    while (!threadShouldExit())
    {
        pollfd waiting{socketFd, POLLIN, 0};
        if (::poll(&waiting, 1, 100) <= 0)
            continue;

        const int connection = ::accept4(socketFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0)
            handleConnection(connection);
    }
}

void InstanceChannel::handleConnection(int connection)
{
    std::string received;
    char buffer[512];
    for (;;)
    {
        pollfd waiting{connection, POLLIN, 0};
        if (::poll(&waiting, 1, 1000) <= 0)
            break;
        const auto got = ::read(connection, buffer, sizeof(buffer));
        if (got <= 0)
            break;
        received.append(buffer, size_t(got));
        if (received.size() >= maxMessageBytes || received.back() == '\n')
            break;
    }
    ::close(connection);

    auto message = juce::String::fromUTF8(received.data(), int(received.size())).trimEnd();
    // The handler is copied so that a message still queued when the channel goes stays safe.
    juce::MessageManager::callAsync([onMessage = handler, message] {
        if (onMessage)
            onMessage(message);
    });
}

bool InstanceChannel::tellRunningInstance(const juce::String& name, const juce::String& message)
{
    sockaddr_un address;
    const auto length = makeAddress(name, address);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;

    bool sent = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0)
    {
        const auto line = (message + "\n").toStdString();
        sent = ::write(fd, line.data(), line.size()) == ssize_t(line.size());
    }
    ::close(fd);
    return sent;
}
