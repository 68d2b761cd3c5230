#pragma once

#include <QIcon>

namespace garrison::gui {

// The Manager's small status pictures, by the index the rows carry:
// 0 present, 1 inactive, 2 missing files, 3 inactive and missing, 4 partial,
// 5 missing or empty, 6 folder, 7 partial and missing, 8 installed elsewhere.
QIcon managerIcon(int index);

} // namespace garrison::gui
