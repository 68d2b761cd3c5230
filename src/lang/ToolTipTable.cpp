#include "lang/ToolTipTable.h"

#include <algorithm>
#include <array>
#include <utility>

namespace garrison {

namespace {

// Sorted by control id.
constexpr std::array<std::pair<int, std::string_view>, 55> kEntries{{
    {1001, "DSTR_MAIN_DESCRIPTION_TT"},
    {1002, "DSTR_MAIN_CURRENTMISSION_TT"},
    {1009, "DSTR_MAIN_NOTIFYCHANGE_TT"},
    {1010, "DSTR_MAIN_LAUNCHWHENEND_TT"},
    {1011, "DSTR_MAIN_ABOUT_TT"},
    {1016, "DSTR_MAIN_PLAYNOW_TT"},
    {1018, "DSTR_MAIN_ADD_TT"},
    {1021, "DSTR_MAIN_MANAGER_TT"},
    {1022, "DSTR_MAIN_NEWLINK_TT"},
    {1026, "DSTR_MAIN_EDIT_TT"},
    {1027, "DSTR_MAIN_SERVERSEL_TT"},
    {1033, "DSTR_MAIN_DEL_TT"},
    {1035, "DSTR_MAIN_AABROWSE_TT"},
    {1039, "DSTR_SERVER_ADDRESS_TT"},
    {1040, "TEXTCALLBACK"},
    {1041, "DSTR_MAIN_CONFIG_TT"},
    {1042, "DSTR_SERVER_PW_TT"},
    {1043, "DSTR_MANAGER_TAB_TT"},
    {1044, "DSTR_MAIN_ALARMWHENEND_TT"},
    {1045, "DSTR_SERVER_DESC_TT"},
    {1047, "TEXTCALLBACK"},
    {1048, "DSTR_SERVER_STARTUPPARAM_TT"},
    {1050, "TEXTCALLBACK"},
    {1052, "TEXTCALLBACK"},
    {1054, "TEXTCALLBACK"},
    {1055, "DSTR_MANAGER_ADV_PACKSEL_TT"},
    {1057, "DSTR_MANAGER_AA_DOWNLOAD_TT"},
    {1059, "TEXTCALLBACK"},
    {1061, "TEXTCALLBACK"},
    {1067, "DSTR_MANAGER_AA_AUTOMOD_LIST_TT"},
    {1068, "DSTR_MANAGER_AA_MANSELMOD_LIST_TT"},
    {1090, "DSTR_CONFIG_PATH_TT"},
    {1091, "DSTR_CONFIG_DISBLEAA_TT"},
    {1094, "DSTR_CONFIG_NOCLOSELAUNCH_TT"},
    {1095, "DSTR_MANAGER_AA_INSTEXIST_TT"},
    {1096, "DSTR_CONFIG_MINITOTRAY_TT"},
    {1097, "DSTR_MANAGER_AA_INSTFOLDER_TT"},
    {1098, "DSTR_CONFIG_NOACTIVATE_TT"},
    {1100, "DSTR_CONFIG_RESETDB_TT"},
    {1101, "DSTR_SERVER_ACTIVMOD_TT"},
    {1102, "DSTR_SERVER_AVAILMOD_TT"},
    {1103, "DSTR_SERVER_AUTOMOD_TT"},
    {1104, "DSTR_SERVER_ADD_TT"},
    {1105, "DSTR_SERVER_UP_TT"},
    {1106, "DSTR_SERVER_LOADSERVERMOD_TT"},
    {1107, "DSTR_MANAGER_AA_AUTOMOD_TT"},
    {1108, "DSTR_SERVER_EXE_BROWSE_TT"},
    {1111, "DSTR_SERVER_EXE_TT"},
    {1112, "DSTR_SERVER_DOWN_TT"},
    {1117, "DSTR_SERVER_AA_TT"},
    {1118, "DSTR_SERVER_REMOVE_TT"},
    {1119, "DSTR_SERVER_MANUAL_BROWSE_TT"},
    {1125, "DSTR_SERVER_COPYFROM_TT"},
    {1127, "DSTR_MAIN_LISTSERVERMOD_TT"},
    {1128, "DSTR_CONFIG_ALWAYSNOMAP_TT"},
}};

} // namespace

std::optional<std::string_view> toolTipString(int controlId)
{
    const auto found = std::lower_bound(kEntries.begin(), kEntries.end(), controlId,
                                        [](const auto &entry, int id) { return entry.first < id; });
    if (found == kEntries.end() || found->first != controlId)
        return std::nullopt;
    return found->second;
}

} // namespace garrison
