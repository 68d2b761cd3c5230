#pragma once

#include <QString>

#include <string>

namespace garrison::gui {

// Core texts are the game's 8-bit texts (or a UTF-8 translation); the
// window shows them as Unicode and hands typed text back in the game's code page.
QString toQt(const std::string &text);
std::string fromQt(const QString &text);

} // namespace garrison::gui
