#include "app/ManagerActions.h"

namespace garrison {

namespace {

using Id = ManagerActionId;

constexpr ManagerAction kServerActions[] = {
    {Id::Flag, "DSTR_MANAGER_AA_FLAG", "DSTR_MANAGER_AA_FLAG_TT", "DSTR_MANAGER_AA_POP_FLAG", false, false},
    {Id::Deflag, "DSTR_MANAGER_AA_DEFLAG", "DSTR_MANAGER_AA_DEFLAG_TT", "DSTR_MANAGER_AA_POP_DEFLAG", false, false},
    {Id::ShowFiles, "DSTR_MANAGER_AA_SHOW", "DSTR_MANAGER_AA_SHOW_TT", "DSTR_MANAGER_AA_POP_SHOW", true, false},
    {Id::ManualDownload, nullptr, nullptr, "DSTR_MANAGER_AA_POP_MANDL", false, false},
};

constexpr ManagerAction kPackageActions[] = {
    {Id::ActivatePackages, "DSTR_MANAGER_PK_ACTIVATE", "DSTR_MANAGER_PK_ACTIVATE_TT", "DSTR_MANAGER_PK_POP_ACTIVATE",
     false, true},
    {Id::DeactivatePackages, "DSTR_MANAGER_PK_DEACTIVATE", "DSTR_MANAGER_PK_DEACTIVATE_TT",
     "DSTR_MANAGER_PK_POP_DEACTIVATE", false, true},
    {Id::EditPackage, "DSTR_MANAGER_PK_EDIT", "DSTR_MANAGER_PK_EDIT_TT", "DSTR_MANAGER_PK_POP_EDIT", true, true},
    {Id::ShowFiles, "DSTR_MANAGER_PK_SHOW", "DSTR_MANAGER_PK_SHOW_TT", "DSTR_MANAGER_PK_POP_SHOW", true, false},
    {Id::Dissolve, "DSTR_MANAGER_PK_DIS", "DSTR_MANAGER_PK_DIS_TT", "DSTR_MANAGER_PK_POP_DIS", false, true},
    {Id::Uninstall, "DSTR_MANAGER_PK_UNINSTALL", "DSTR_MANAGER_PK_UNINSTALL_TT", "DSTR_MANAGER_PK_POP_UNINSTALL", false,
     true},
};

constexpr ManagerAction kAdvancedActions[] = {
    {Id::ActivateFiles, "DSTR_MANAGER_ADV_ACTIVATE", "DSTR_MANAGER_ADV_ACTIVATE_TT", "DSTR_MANAGER_ADV_POP_ACTIVATE",
     false, true},
    {Id::DeactivateFiles, "DSTR_MANAGER_ADV_DEACTIVATE", "DSTR_MANAGER_ADV_DEACTIVATE_TT",
     "DSTR_MANAGER_ADV_POP_DEACTIVATE", false, true},
    {Id::SelectChildren, "DSTR_MANAGER_ADV_SELCHILD", "DSTR_MANAGER_ADV_SELCHILD_TT", "DSTR_MANAGER_ADV_POP_SELCHILD",
     true, false},
    {Id::OpenFolder, "DSTR_MANAGER_ADV_OPENFOLDER", "DSTR_MANAGER_ADV_OPENFOLDER_TT", "DSTR_MANAGER_ADV_POP_OPENFOLDER",
     true, false},
    {Id::BindTo, "DSTR_MANAGER_ADV_BINDTO", "DSTR_MANAGER_ADV_BINDTO_TT", nullptr, false, true},
    {Id::Unbind, "DSTR_MANAGER_ADV_UNBIND", "DSTR_MANAGER_ADV_UNBIND_TT", "DSTR_MANAGER_ADV_POP_UNBIND", false, true},
};

} // namespace

std::span<const ManagerAction> managerActions(ManagerView view)
{
    switch (view) {
    case ManagerView::Server:
        return kServerActions;
    case ManagerView::Packages:
        return kPackageActions;
    case ManagerView::Advanced:
        break;
    }
    return kAdvancedActions;
}

} // namespace garrison
