#include "gui/QtText.h"

#include "common/DisplayText.h"
#include "common/GameCodePage.h"

namespace garrison::gui {

QString toQt(const std::string &text)
{
    return QString::fromStdString(displayText(text));
}

std::string fromQt(const QString &text)
{
    return utf8ToGameText(text.toStdString());
}

} // namespace garrison::gui
