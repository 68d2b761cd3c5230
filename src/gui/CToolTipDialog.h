#pragma once

#include "lang/LanguageTable.h"

#include <QDialog>

namespace garrison::gui {

// The dialog base that gives every control its tool tip from the control-id
// table, without code in each dialog. Controls carry their id in the
// dynamic property "controlId" (set in the .ui files).
class CToolTipDialog : public QDialog {
    Q_OBJECT

public:
    explicit CToolTipDialog(const LanguageTable &language, QWidget *parent = nullptr);

    static int controlId(const QWidget &widget);
    // The control of this dialog with that id, or null.
    QWidget *control(int controlId) const;

protected:
    // The base initialisation: texts translated, then the tool tips
    // registered (a label's text once, a "TEXTCALLBACK" control asked each time).
    void initialiseToolTips();
    // The text of an on-demand tool tip; pos is in the control's coordinates.
    virtual QString toolTipText(int controlId, QWidget &control, const QPoint &pos);

    const LanguageTable &language() const { return m_language; }
    QString text(const char *label) const;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void nameValueFields();

    const LanguageTable &m_language;
};

} // namespace garrison::gui
