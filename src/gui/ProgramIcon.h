#pragma once

#include <QIcon>

namespace garrison::gui {

// The program's icon in every size it is drawn in.
QIcon programIcon();

} // namespace garrison::gui
