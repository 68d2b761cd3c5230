#include "gui/CToolTipDialog.h"

#include "gui/QtText.h"
#include "gui/WindowTranslation.h"
#include "lang/ToolTipTable.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolTip>

namespace garrison::gui {

CToolTipDialog::CToolTipDialog(const LanguageTable &language, QWidget *parent) : QDialog(parent), m_language(language)
{
}

int CToolTipDialog::controlId(const QWidget &widget)
{
    bool ok = false;
    const int id = widget.property("controlId").toInt(&ok);
    return ok ? id : 0;
}

QWidget *CToolTipDialog::control(int id) const
{
    for (QWidget *child : findChildren<QWidget *>()) {
        if (controlId(*child) == id)
            return child;
    }
    return nullptr;
}

QString CToolTipDialog::text(const char *label) const
{
    return toQt(m_language.Resolve(label));
}

void CToolTipDialog::initialiseToolTips()
{
    translateWindow(*this, m_language);
    nameValueFields();
    for (QWidget *child : findChildren<QWidget *>()) {
        const auto entry = toolTipString(controlId(*child));
        if (!entry)
            continue;
        if (*entry == kTextCallback)
            child->installEventFilter(this);
        else
            child->setToolTip(toQt(m_language.Resolve(std::string(*entry))));
    }
}

void CToolTipDialog::nameValueFields()
{
    // A screen reader reads a value field with its label: "Mission: CTF Eden".
    for (QWidget *field : findChildren<QWidget *>()) {
        const QString labelName = field->property("labelledBy").toString();
        if (labelName.isEmpty())
            continue;
        // The caption is a label or, for a value a check box governs, that box.
        QString name;
        if (const auto *label = findChild<QLabel *>(labelName))
            name = label->text();
        else if (const auto *button = findChild<QAbstractButton *>(labelName))
            name = button->text();
        else
            continue;
        name = name.remove(QLatin1Char('&')).trimmed();
        if (name.endsWith(QLatin1Char(':')))
            name.chop(1);
        field->setAccessibleName(name);
        // An editable box reads its typed text through its line edit.
        if (auto *box = qobject_cast<QComboBox *>(field); box && box->lineEdit())
            box->lineEdit()->setAccessibleName(name);
    }
}

QString CToolTipDialog::toolTipText(int, QWidget &, const QPoint &)
{
    return {};
}

bool CToolTipDialog::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (widget && event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = toolTipText(controlId(*widget), *widget, help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, widget);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace garrison::gui
