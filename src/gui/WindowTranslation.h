#pragma once

#include "lang/LanguageTable.h"

#include <QString>

class QMenu;
class QWidget;

namespace garrison::gui {

// Passes the window's title and the texts of its controls through the
// language table: buttons, labels, group boxes, check boxes and tab and
// column titles, and accessible names. Controls inside a dialog of their own
// are left to it.
void translateWindow(QWidget &window, const LanguageTable &language);
// Every item of the menu and of its sub-menus; an item keeps its action.
void translateMenu(QMenu &menu, const LanguageTable &language);
// One text as a window text is translated: cut to 1023 bytes, then resolved.
QString translatedText(const QString &text, const LanguageTable &language);

} // namespace garrison::gui
