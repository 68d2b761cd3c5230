#include "app/InternetBrowser.h"

#include "app/CentralHost.h"
#include "common/TextCompare.h"
#include "common/WordSplit.h"
#include "monitor/GameStates.h"

#include <algorithm>
#include <map>
#include <thread>

namespace garrison {

namespace {

bool containsNoCase(std::string_view text, std::string_view part)
{
    if (part.empty())
        return true;
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
        if (equalsNoCase(text.substr(at, part.size()), part))
            return true;
    }
    return false;
}

bool passes(const InternetRow &row, const InternetFilter &filter)
{
    const SurveyedServer &s = row.server;
    if (!s.answered)
        return false;
    if ((filter.game == InternetFilter::Game::Resistance && !row.resistance) ||
        (filter.game == InternetFilter::Game::Flashpoint && row.resistance))
        return false;
    if ((filter.notFull && s.maxPlayers > 0 && s.players >= s.maxPlayers) || (filter.notEmpty && s.players == 0) ||
        (filter.noPassword && s.password))
        return false;
    return s.version.find(filter.version) != std::string::npos && containsNoCase(s.mods, filter.mod) &&
           (containsNoCase(s.name, filter.search) || containsNoCase(s.map, filter.search) ||
            containsNoCase(s.mission, filter.search) || containsNoCase(row.address, filter.search));
}

} // namespace

// What the thread of one refresh shares with the browser; it outlives a browser closed midway.
struct InternetBrowser::Run {
    std::atomic<bool> cancel{false};
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> total{0};
    mutable std::mutex lock;
    bool ended = false;
    bool taken = false;
    std::vector<std::string> failures;
    std::vector<InternetRow> rows;
};

InternetBrowser::InternetBrowser(const std::string &masterHosts, const std::string &gameKey,
                                 const LanguageTable &language)
    : m_language(language)
{
    std::string_view rest = masterHosts;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string text(trimWordSeparators(rest.substr(0, comma)));
        rest.remove_prefix(comma == std::string_view::npos ? rest.size() : comma + 1);
        if (text.empty())
            continue;
        const auto master = parseHostAndPort(text, MasterRequest::kDefaultPort);
        if (!master) {
            m_badMasters.push_back(text);
            continue;
        }
        MasterRequest request;
        request.host = master->host;
        request.port = master->port;
        request.gameKey = gameKey;
        request.timeout = std::chrono::seconds(5);
        m_masters.push_back(request);
    }
}

InternetBrowser::~InternetBrowser()
{
    if (m_run)
        m_run->cancel = true;
}

void InternetBrowser::refresh()
{
    if (progress().running)
        return;
    auto run = std::make_shared<Run>();
    m_run = run;
    std::thread([run, masters = m_masters] {
        std::vector<ListedServer> listed;
        std::vector<bool> resistance;
        std::set<std::pair<std::uint32_t, std::uint16_t>> seen;
        std::vector<std::string> failures;
        for (const char *game : {"opflashr", "opflash"}) {
            for (MasterRequest request : masters) {
                if (run->cancel)
                    break;
                request.game = game;
                const MasterReply reply = fetchMasterList(request);
                if (reply.failure)
                    failures.push_back(reply.failure.why() + " (" + game + ")");
                for (const auto &server : reply.servers) {
                    if (seen.insert({server.address, server.queryPort}).second) {
                        listed.push_back(server);
                        resistance.push_back(std::string_view(game) == "opflashr");
                    }
                }
            }
        }
        run->total = listed.size();
        SurveyLimits limits;
        limits.cancel = &run->cancel;
        const auto surveyed = surveyServers(listed, limits, [&](std::size_t done, std::size_t) { run->done = done; });
        std::vector<InternetRow> rows;
        for (std::size_t i = 0; i < surveyed.size(); ++i) {
            InternetRow row{surveyed[i], resistance[i], false,
                            listedServerText(surveyed[i].listed.address, surveyed[i].listed.gamePort())};
            rows.push_back(std::move(row));
        }
        std::lock_guard guard(run->lock);
        run->rows = std::move(rows);
        run->failures = std::move(failures);
        run->ended = true;
    }).detach();
}

InternetBrowser::Progress InternetBrowser::progress() const
{
    Progress progress;
    if (!m_run)
        return progress;
    std::lock_guard guard(m_run->lock);
    progress.running = !m_run->ended;
    progress.done = m_run->done;
    progress.total = m_run->total;
    progress.failures = m_run->failures;
    return progress;
}

bool InternetBrowser::takeEndedRun()
{
    if (!m_run)
        return false;
    {
        std::lock_guard guard(m_run->lock);
        if (!m_run->ended || m_run->taken)
            return false;
        m_rows = std::move(m_run->rows);
        m_run->taken = true;
    }
    markAutoAddon(m_autoAddon);
    return true;
}

void InternetBrowser::markAutoAddon(const std::set<std::string> &addresses)
{
    m_autoAddon = addresses;
    for (auto &row : m_rows)
        row.autoAddon = m_autoAddon.contains(row.address);
}

std::vector<std::size_t> InternetBrowser::visible(const InternetFilter &filter, InternetColumn column,
                                                  bool ascending) const
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (passes(m_rows[i], filter))
            order.push_back(i);
    }
    const auto key = [&](const InternetRow &row) -> std::int64_t {
        switch (column) {
        case InternetColumn::Players:
            return row.server.players;
        case InternetColumn::State:
            return row.server.state;
        case InternetColumn::Ping:
            return row.server.ping;
        default:
            return 0;
        }
    };
    const bool numeric =
        column == InternetColumn::Players || column == InternetColumn::State || column == InternetColumn::Ping;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const InternetRow &x = ascending ? m_rows[a] : m_rows[b];
        const InternetRow &y = ascending ? m_rows[b] : m_rows[a];
        return numeric ? key(x) < key(y) : compareNoCase(cell(x, column), cell(y, column)) < 0;
    });
    return order;
}

std::string InternetBrowser::cell(const InternetRow &row, InternetColumn column) const
{
    const SurveyedServer &s = row.server;
    switch (column) {
    case InternetColumn::Name:
        return s.name;
    case InternetColumn::Players:
        return std::to_string(s.players) + "/" + std::to_string(s.maxPlayers);
    case InternetColumn::Map:
        return s.map;
    case InternetColumn::Mission:
        return s.mission;
    case InternetColumn::State:
        return gameStateText(s.state, m_language);
    case InternetColumn::Ping:
        return std::to_string(s.ping);
    case InternetColumn::Version:
        return s.version;
    case InternetColumn::Mods:
        return s.mods;
    case InternetColumn::Password:
        return s.password ? "yes" : "";
    case InternetColumn::AutoAddon:
        return row.autoAddon ? "yes" : "";
    case InternetColumn::Count:
        break;
    }
    return {};
}

} // namespace garrison
