#include "central/CentralServer.h"

#include "monitor/QueryPackets.h"
#include "platform/HostLookup.h"
#include "platform/Tick.h"
#include "servers/ServerAddress.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace garrison {

CentralServer::CentralServer(CentralSettings settings, std::function<void(const std::string &)> log)
    : m_log(std::move(log)), m_settings(std::move(settings)),
      m_answers(*this, m_log, std::uint64_t{m_settings.rateLimitKib} * 1024,
                std::uint64_t{m_settings.networkRateLimitKib} * 1024)
{
}

CentralServer::~CentralServer()
{
    stop();
    stopPolls();
}

bool CentralServer::open()
{
    const auto address = resolveIpv4(m_settings.bind);
    if (!address || !create(m_settings.port, *address)) {
        m_log("cannot listen on " + m_settings.bind + ":" + std::to_string(m_settings.port));
        return false;
    }
    std::lock_guard guard(m_lock);
    startPolls();
    return true;
}

void CentralServer::reload(const CentralSettings &settings)
{
    std::lock_guard guard(m_lock);
    stopPolls();
    const std::string bind = m_settings.bind;
    const std::uint16_t port = m_settings.port;
    const auto limits = std::pair(m_settings.rateLimitKib, m_settings.networkRateLimitKib);
    m_settings = settings;
    m_settings.bind = bind;
    m_settings.port = port;
    if (limits != std::pair(settings.rateLimitKib, settings.networkRateLimitKib))
        m_log("the rate limits change at the next start");
    std::tie(m_settings.rateLimitKib, m_settings.networkRateLimitKib) = limits;
    startPolls();
    m_log("reloaded: news \"" + m_settings.news.newsText + "\", " + std::to_string(m_settings.entries.size()) +
          " fixed entries, " + std::to_string(m_polled.size()) + " polled servers");
}

void CentralServer::startPolls()
{
    for (const auto &target : m_settings.polled) {
        const ServerAddress split = splitServerAddress(target);
        const auto port = parsePortText(split.portText);
        const auto address = port ? resolveIpv4(split.host) : std::nullopt;
        if (!address) {
            m_log("not polled: " + target + " is no reachable HOST:PORT");
            continue;
        }
        Polled polled;
        polled.target = target;
        polled.address = *address;
        polled.port = *port == 0 ? kDefaultGamePort : *port;
        polled.status = std::make_unique<StatusStore>();
        // Asked for its list, an Auto-Addon server shows itself by answering: its
        // announcement is all we need, and a hostile one's list is never fetched.
        polled.status->addonDatabaseReady = true;
        polled.endpoint = std::make_unique<MonitorEndpoint>(*polled.status, kPollIntervalMs, std::string(),
                                                            AutoAddonClient::Fetch::AnnouncementOnly);
        if (!polled.endpoint->create() || !polled.endpoint->start()) {
            m_log("not polled: " + target + ": no socket");
            continue;
        }
        polled.endpoint->post(SetTarget{polled.address, polled.port});
        polled.endpoint->post(StartPolling{});
        m_polled.push_back(std::move(polled));
    }
}

void CentralServer::stopPolls()
{
    for (auto &polled : m_polled)
        polled.endpoint->stop();
    m_polled.clear();
}

void CentralServer::onTick()
{
    const std::uint32_t now = tickCount();
    m_answers.tick(now);
    std::lock_guard guard(m_lock);
    for (auto &polled : m_polled) {
        std::lock_guard statusGuard(polled.status->lock);
        const ServerStatus &record = polled.status->record;
        const std::uint32_t answers = record.infoAnswers + record.statusAnswers;
        if (answers != polled.answers) {
            polled.answers = answers;
            polled.lastAnswer = now;
        }
    }
}

std::vector<BrowserEntry> CentralServer::browserList()
{
    std::lock_guard guard(m_lock);
    std::vector<BrowserEntry> entries = m_settings.entries;
    const std::uint32_t now = tickCount();
    for (auto &polled : m_polled) {
        std::lock_guard statusGuard(polled.status->lock);
        const ServerStatus &record = polled.status->record;
        const std::uint32_t answers = polled.answers;
        const bool runsAutoAddon = record.addonServerState == AddonServerState::Transferring ||
                                   record.addonServerState == AddonServerState::PasswordRefused;
        if (answers == 0 || now - polled.lastAnswer > kSilentMs || !runsAutoAddon)
            continue;
        BrowserEntry entry;
        entry.address = polled.address;
        entry.port = polled.port;
        entry.players = static_cast<std::uint8_t>(std::min<std::uint32_t>(record.players, 255));
        entry.flags = record.gameName == "opflashr" ? 1 : 0;
        entry.name = browserName(record.description.empty() ? polled.target : record.description);
        entries.push_back(std::move(entry));
    }
    return entries;
}

void CentralServer::onRead(int)
{
    std::array<std::uint8_t, kMaxDatagramBytes> buffer;
    const auto received = receiveInto(buffer);
    if (!received)
        return;
    const auto [datagram, address, port] = *received;
    const std::uint32_t now = tickCount();
    const std::string client = dottedAddress(address) + ":" + std::to_string(port);
    if (const auto session = newsRequestSession(datagram)) {
        NewsContent news;
        {
            std::lock_guard guard(m_lock);
            news = m_settings.news;
        }
        m_answers.note(client + " news");
        m_answers.send(address, port, {newsAnswer(*session, news)}, now);
    } else if (const auto cookie = browserRequestCookie(datagram)) {
        const auto entries = browserList();
        std::size_t perDatagram = 0;
        {
            std::lock_guard guard(m_lock);
            perDatagram = m_settings.entriesPerDatagram;
        }
        const auto answers = browserAnswers(*cookie, entries, perDatagram);
        m_answers.note(client + " browser list: " + std::to_string(entries.size()) + " servers in " +
                       std::to_string(answers.size()) + " datagrams");
        m_answers.send(address, port, answers, now);
    } else {
        m_answers.count("unknown datagrams");
    }
}

} // namespace garrison
