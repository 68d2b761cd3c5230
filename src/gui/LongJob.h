#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace garrison::gui {

// Runs job on a thread of its own while the window keeps painting and, when
// it takes longer than a moment, shows a busy window saying what happens.
// The caller keeps its own widgets from reading what the job changes.
void runOffTheUiThread(QWidget &parent, const QString &what, const std::function<void()> &job);

} // namespace garrison::gui
