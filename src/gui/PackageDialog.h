#pragma once

#include "addondb/PackageOperations.h"
#include "lang/LanguageTable.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class PackageDialog;
}

namespace garrison::gui {

// A package's name and comment, for a new package or an edit. The dialog
// comes back with what was typed until the name is accepted or the user
// cancels.
class PackageDialog final : public QDialog {
    Q_OBJECT

public:
    using Apply = std::function<PackageNameCheck(const std::string &name, const std::string &comment)>;

    PackageDialog(const LanguageTable &language, const char *titleLabel, const std::string &name,
                  const std::string &comment, Apply apply, QWidget *parent = nullptr);
    ~PackageDialog() override;

private:
    void tryApply();

    std::unique_ptr<Ui::PackageDialog> m_ui;
    const LanguageTable &m_language;
    Apply m_apply;
};

} // namespace garrison::gui
