#include "app/AfterInstall.h"

#include "addondb/DatabaseFile.h"
#include "autoaddon/OfferedModel.h"

#include <cerrno>
#include <cstring>

namespace garrison {

Failure saveDatabase(AddonDatabase &database, const std::string &databaseFile)
{
    errno = 0;
    if (DatabaseFile::save(database, databaseFile))
        return {};
    const int error = errno;
    return Failure::because(databaseFile + ": " + (error != 0 ? std::strerror(error) : "cannot be written"), error);
}

Failure settleAfterChange(AddonDatabase &database, const std::string &databaseFile)
{
    refreshInstallStatus(database.offered(), database);
    return databaseFile.empty() ? Failure() : saveDatabase(database, databaseFile);
}

Failure settleAfterInstall(AddonDatabase &database, const std::string &databaseFile)
{
    database.findAddonFolders();
    database.derive();
    return settleAfterChange(database, databaseFile);
}

} // namespace garrison
