#pragma once

#include <optional>
#include <string>

namespace garrison {

struct SelectedServer {
    std::string name;
    std::string address;
};

// What the monitor cycle leaves to the controller: the selection, Play now,
// the database scan and the arrival of an offered list.
class MonitorDecisions {
public:
    virtual ~MonitorDecisions() = default;

    virtual void runPlayNow() = 0;
    virtual std::optional<SelectedServer> selectedServer() const = 0;
    // Replaces the selected entry's name in place and keeps it in the settings file.
    virtual void renameSelectedServer(const std::string &name) = 0;

    // The background database scan: has it ended? On its end the controller
    // forgets the thread, enables the Manager if the database is ready,
    // closes the progress dialog and redoes the selection.
    virtual bool scanHasEnded() const = 0;
    virtual void scanEnded() = 0;
    virtual void offeredListArrived() = 0; // message 0x403
};

} // namespace garrison
