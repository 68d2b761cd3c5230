#include "gui/ProgramIcon.h"

namespace garrison::gui {

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/garrison-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace garrison::gui
