#pragma once

#include <cstddef>
#include <span>

namespace garrison {

enum class ManagerView { Server = 0, Packages = 1, Advanced = 2 };

// Everything the Manager does to the selected rows.
enum class ManagerActionId {
    Flag,
    Deflag,
    ShowFiles,
    ManualDownload,
    ActivatePackages,
    DeactivatePackages,
    EditPackage,
    Dissolve,
    Uninstall,
    ActivateFiles,
    DeactivateFiles,
    SelectChildren,
    OpenFolder,
    BindTo,
    Unbind,
};

// One action of a view, for its button and its pop-up menu alike.
struct ManagerAction {
    ManagerActionId id;
    const char *caption; // the button's label; nullptr: no button
    const char *toolTip;
    const char *popup; // the pop-up menu's label; nullptr: a sub-menu of packages (BindTo)
    bool singleRow;    // on one row only: greyed in the menu while several are selected
    bool longJob;      // changes the game folder or the database: run off the UI thread
};

// A view's actions in button order (the buttons come first), then the ones
// only the pop-up menu has.
std::span<const ManagerAction> managerActions(ManagerView view);

} // namespace garrison
