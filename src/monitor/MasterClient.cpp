#include "monitor/MasterClient.h"

#include "monitor/MasterValidate.h"
#include "platform/HostLookup.h"
#include "platform/TcpStream.h"

namespace garrison {

namespace {

constexpr std::string_view kSecure = "\\secure\\";
// A greeting is a few dozen bytes; a list of 65,536 servers under 400 KB.
constexpr std::size_t kMaxGreeting = 4096;
constexpr std::size_t kMaxReply = kMaxListedServers * 6 + 4096;

Failure withPlace(const MasterRequest &request, const Failure &failure, const char *when)
{
    return Failure::because("master " + request.host + ":" + std::to_string(request.port) + ": " + when + failure.why(),
                            failure.error());
}

// The challenge runs from "\secure\" to the next backslash or the end.
std::optional<std::string> challengeIn(const std::string &greeting)
{
    const std::size_t at = greeting.find(kSecure);
    if (at == std::string::npos)
        return std::nullopt;
    const std::size_t start = at + kSecure.size();
    const std::size_t end = greeting.find('\\', start);
    if (end == std::string::npos && greeting.size() - start < 6)
        return std::nullopt; // the rest may still come
    return greeting.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace

MasterReply fetchMasterList(const MasterRequest &request)
{
    MasterReply reply;
    const auto address = resolveIpv4(request.host);
    if (!address) {
        reply.failure = Failure::because("master " + request.host + ": the name cannot be resolved");
        return reply;
    }
    TcpStream stream(TcpStream::Clock::now() + request.timeout);
    if (Failure failed = stream.connect(*address, request.port)) {
        reply.failure = withPlace(request, failed, "cannot connect: ");
        return reply;
    }
    std::string greeting;
    std::optional<std::string> challenge;
    while (!(challenge = challengeIn(greeting))) {
        bool closed = false;
        if (Failure failed = stream.receiveSome(greeting, closed)) {
            reply.failure = withPlace(request, failed, "no greeting: ");
            return reply;
        }
        if (closed || greeting.size() > kMaxGreeting) {
            reply.failure =
                withPlace(request, Failure::because(closed ? "closed before its greeting" : "sent garbage"), "");
            return reply;
        }
    }
    std::string answer = "\\gamename\\" + request.game + "\\gamever\\1.99\\location\\0";
    if (const std::string validate = masterValidate(*challenge, request.gameKey); !validate.empty())
        answer += "\\validate\\" + validate;
    answer += "\\final\\\\queryid\\1.1\\list\\cmp\\gamename\\" + request.game + "\\final\\";
    if (Failure failed = stream.sendAll(answer)) {
        reply.failure = withPlace(request, failed, "cannot send the request: ");
        return reply;
    }
    std::string list;
    bool closed = false;
    while (!closed && !masterListComplete(list)) {
        if (Failure failed = stream.receiveSome(list, closed)) {
            reply.failure = withPlace(request, failed, "while reading the list: ");
            return reply;
        }
        if (list.size() > kMaxReply) {
            reply.failure = withPlace(
                request,
                Failure::because("the master listed more than " + std::to_string(kMaxListedServers) + " servers"), "");
            return reply;
        }
    }
    if (Failure failed = parseMasterList(list, reply.servers))
        reply.failure = withPlace(request, failed, "");
    return reply;
}

} // namespace garrison
