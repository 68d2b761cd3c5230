#include "app/NewsAndUpgrade.h"

#include "app/BrowserLink.h"
#include "common/TextCompare.h"

namespace garrison {

NewsAndUpgrade::NewsAndUpgrade(MainView &view, const LanguageTable &language, StatusStore &status,
                               MonitorEndpoint &endpoint, const MainStart &start)
    : m_view(view), m_language(language), m_status(status), m_endpoint(endpoint), m_start(start)
{
}

void NewsAndUpgrade::start(std::optional<CentralHost> central)
{
    m_central = std::move(central);
    // Without a central server there is no news; the area stays hidden.
    if (m_central)
        m_newsLookup = std::make_unique<HostLookupTask>(m_central->host);
}

std::unique_ptr<AddonBrowser> NewsAndUpgrade::openBrowser()
{
    if (!m_central)
        return nullptr;
    return std::make_unique<AddonBrowser>(m_status, m_endpoint, *m_central);
}

void NewsAndUpgrade::tick()
{
    if (m_newsLookup && m_newsLookup->ended()) {
        // An unknown host: no request, no news.
        if (const auto address = m_newsLookup->address())
            m_endpoint.post(NewsRequest{*address, m_central->port});
        m_newsLookup.reset();
    }
    if (const std::string link = newsLink(); link != m_shownLink) {
        m_shownLink = link;
        m_view.setLinkTarget(link);
    }
    if (m_upgrade && m_upgrade->ended())
        upgradeEnded();
}

std::string NewsAndUpgrade::newsLink()
{
    std::lock_guard guard(m_status.lock);
    return m_status.news.link;
}

void NewsAndUpgrade::linkClicked()
{
    const std::string link = newsLink();
    if (link.empty())
        return;
    if (!endsWithNoCase(link, ".ozp")) {
        openLink(link);
        return;
    }
    if (m_upgrade)
        return;
    {
        std::lock_guard guard(m_status.lock);
        m_status.news.upgradeAvailable = false;
    }
    if (!canUpgradeInPlace(m_start.programFolder)) {
        // Installed by the system: its package manager upgrades it, the page says how.
        {
            std::lock_guard guard(m_status.lock);
            m_status.upgradeStatus = "Garrison cannot replace its own files here: the upgrade opens in your browser";
        }
        openLink(link);
        return;
    }
    m_upgrade = std::make_unique<SelfUpgrade>(
        m_status, m_language, UpgradePlaces{m_start.folder, m_start.programFolder}, link, m_start.upgradeKey);
    m_view.upgradeStarted();
}

void NewsAndUpgrade::upgradeEnded()
{
    const bool staged = m_upgrade->succeeded();
    const UpgradePlaces places = m_upgrade->places();
    m_upgrade.reset();
    m_view.upgradeEnded(staged, places);
}

void NewsAndUpgrade::bannerClicked()
{
    // The banner always opens its link, an upgrade archive too.
    if (const std::string link = newsLink(); !link.empty())
        openLink(link);
}

void NewsAndUpgrade::openLink(const std::string &link)
{
    // The central server is not trusted with the desktop: only web pages open.
    if (browserMayOpen(link))
        m_view.openLink(link);
    else
        m_view.showNotice(m_language.Resolve("DSTR_LINUX_LINK_REFUSED") + link);
}

} // namespace garrison
