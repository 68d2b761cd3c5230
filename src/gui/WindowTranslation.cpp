#include "gui/WindowTranslation.h"

#include "gui/QtText.h"

#include <QAbstractButton>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTreeWidget>

namespace garrison::gui {

namespace {

constexpr std::size_t kTextBuffer = 1024;

bool insideOtherDialog(const QWidget &widget, const QWidget &window)
{
    for (const QWidget *parent = widget.parentWidget(); parent && parent != &window; parent = parent->parentWidget()) {
        if (qobject_cast<const QDialog *>(parent))
            return true;
    }
    return false;
}

} // namespace

QString translatedText(const QString &text, const LanguageTable &language)
{
    if (text.isEmpty())
        return text;
    std::string bytes = fromQt(text);
    if (bytes.size() >= kTextBuffer)
        bytes.resize(kTextBuffer - 1);
    return toQt(language.Resolve(bytes));
}

void translateWindow(QWidget &window, const LanguageTable &language)
{
    window.setWindowTitle(translatedText(window.windowTitle(), language));
    for (QWidget *child : window.findChildren<QWidget *>()) {
        if (qobject_cast<QDialog *>(child) || insideOtherDialog(*child, window))
            continue;
        // What a screen reader says is translated like what the screen shows.
        if (!child->accessibleName().isEmpty())
            child->setAccessibleName(translatedText(child->accessibleName(), language));
        if (auto *button = qobject_cast<QAbstractButton *>(child))
            button->setText(translatedText(button->text(), language));
        else if (auto *label = qobject_cast<QLabel *>(child))
            label->setText(translatedText(label->text(), language));
        else if (auto *group = qobject_cast<QGroupBox *>(child))
            group->setTitle(translatedText(group->title(), language));
        else if (auto *tabs = qobject_cast<QTabWidget *>(child)) {
            for (int i = 0; i < tabs->count(); ++i)
                tabs->setTabText(i, translatedText(tabs->tabText(i), language));
        } else if (auto *tree = qobject_cast<QTreeWidget *>(child)) {
            QTreeWidgetItem *header = tree->headerItem();
            for (int i = 0; i < header->columnCount(); ++i)
                header->setText(i, translatedText(header->text(i), language));
        }
    }
}

void translateMenu(QMenu &menu, const LanguageTable &language)
{
    for (QAction *action : menu.actions()) {
        if (action->isSeparator())
            continue;
        const QString text = translatedText(action->text(), language);
        if (text != action->text())
            action->setText(text);
        if (QMenu *sub = action->menu())
            translateMenu(*sub, language);
    }
}

} // namespace garrison::gui
