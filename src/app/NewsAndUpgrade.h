#pragma once

#include "app/AddonBrowser.h"
#include "app/CentralHost.h"
#include "app/HostLookupTask.h"
#include "app/MainStart.h"
#include "app/MainView.h"
#include "app/SelfUpgrade.h"
#include "lang/LanguageTable.h"
#include "monitor/MonitorEndpoint.h"

#include <memory>
#include <optional>
#include <string>

namespace garrison {

// The main window's part that talks to the central server: the news asked
// for once, its link and banner, the upgrade an .ozp link offers, and the
// browser of public Auto-Addon servers.
class NewsAndUpgrade {
public:
    NewsAndUpgrade(MainView &view, const LanguageTable &language, StatusStore &status, MonitorEndpoint &endpoint,
                   const MainStart &start);

    // The central server of garrison-linux.conf; without one there is no news and no browser.
    void start(std::optional<CentralHost> central);
    // The 500 ms timer: the news request once its host is known, the link's
    // tool tips, the end of an upgrade.
    void tick();

    void linkClicked();
    void bannerClicked();
    // Null when no central server is set.
    std::unique_ptr<AddonBrowser> openBrowser();

private:
    std::string newsLink();
    // A link of the news, opened or refused with a notice.
    void openLink(const std::string &link);
    void upgradeEnded();

    MainView &m_view;
    const LanguageTable &m_language;
    StatusStore &m_status;
    MonitorEndpoint &m_endpoint;
    const MainStart &m_start;
    std::optional<CentralHost> m_central;
    std::unique_ptr<HostLookupTask> m_newsLookup;
    std::unique_ptr<SelfUpgrade> m_upgrade;
    std::string m_shownLink; // the news link the window's tool tips name
};

} // namespace garrison
