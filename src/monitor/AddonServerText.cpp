#include "monitor/AddonServerText.h"

namespace garrison {

std::string addonServerText(const ServerStatus &record, bool databaseReadyAndScanned, const LanguageTable &language)
{
    switch (record.addonServerState) {
    case AddonServerState::NotAnswered:
        return language.Resolve(databaseReadyAndScanned ? "DSTR_MAIN_AASERVER_QUERY" : "DSTR_MAIN_AASERVER_NA");
    case AddonServerState::Transferring:
        if (record.receivedChunks < record.expectedChunks && record.expectedChunks > 0)
            return std::to_string(record.receivedChunks * 100 / record.expectedChunks) + "%";
        return language.Resolve("DSTR_MAIN_AASERVER_YES");
    case AddonServerState::Absent:
        return language.Resolve("DSTR_MAIN_AASERVER_NO");
    case AddonServerState::TimedOut:
        return language.Resolve("DSTR_MAIN_AASERVER_TIMEOUT");
    case AddonServerState::PasswordRefused:
        return language.Resolve("DSTR_MAIN_AASERVER_PWFAIL");
    }
    return {};
}

} // namespace garrison
