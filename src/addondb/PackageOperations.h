#pragma once

#include "addondb/AddonDatabase.h"

#include <string>
#include <utility>
#include <vector>

namespace garrison {

// A file as the Manager shows it: the node and the package it is listed under.
using ShownFile = std::pair<NodeRef, std::size_t>;

enum class PackageNameCheck { Ok, Empty, Taken };

// What the Manager does to packages. Package indexes are positions in the
// database's package list; standard packages are never edited, dissolved or
// uninstalled.
void bindFiles(AddonDatabase &database, const std::vector<ShownFile> &files, std::size_t target);
void unbindFiles(AddonDatabase &database, const std::vector<ShownFile> &files);
PackageNameCheck newPackage(AddonDatabase &database, const std::string &name, const std::string &comment,
                            const std::vector<ShownFile> &files);
PackageNameCheck editPackage(AddonDatabase &database, std::size_t package, const std::string &name,
                             const std::string &comment);
void dissolvePackages(AddonDatabase &database, const std::vector<std::size_t> &packages);
// Deletes the files only these packages hold; a package whose files could not
// all be deleted stays. Per package (in the order given): removed or not.
std::vector<bool> uninstallPackages(AddonDatabase &database, const std::vector<std::size_t> &packages);

} // namespace garrison
