#include "gui/BrowserDialog.h"

#include "gui/QtText.h"
#include "ui_BrowserDialog.h"

#include <QHeaderView>
#include <QMessageBox>

namespace garrison::gui {

namespace {

constexpr int kPollMs = 200;

} // namespace

BrowserDialog::BrowserDialog(const LanguageTable &language, AddonBrowser &browser, QWidget *parent)
    : CToolTipDialog(language, parent), m_ui(std::make_unique<Ui::BrowserDialog>()), m_browser(browser)
{
    m_ui->setupUi(this);
    initialiseToolTips();
    m_ui->serverList->setAccessibleName(windowTitle());
    QFont heading(text("DSTR_AABROWSER_HEAD_FONT"));
    heading.setPointSize(15);
    m_ui->heading->setFont(heading);
    QHeaderView *header = m_ui->serverList->header();
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    header->setStretchLastSection(false);
    m_ui->serverList->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);

    connect(m_ui->resistanceBox, &QCheckBox::toggled, this, [this] { showRows(true); });
    connect(m_ui->flashpointBox, &QCheckBox::toggled, this, [this] { showRows(true); });
    connect(m_ui->serverList, &QTreeWidget::itemSelectionChanged, this,
            [this] { m_ui->selectButton->setEnabled(!m_ui->serverList->selectedItems().isEmpty()); });
    connect(m_ui->serverList, &QTreeWidget::itemDoubleClicked, this, &BrowserDialog::choose);
    connect(m_ui->selectButton, &QPushButton::clicked, this, &BrowserDialog::choose);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_timer, &QTimer::timeout, this, &BrowserDialog::poll);
    m_timer.start(kPollMs);
}

BrowserDialog::~BrowserDialog() = default;

void BrowserDialog::poll()
{
    const bool wasResolving = m_browser.state() == AddonBrowser::State::Resolving;
    if (m_browser.poll())
        showRows(false);
    if (wasResolving && m_browser.state() == AddonBrowser::State::HostUnknown) {
        // Nothing can come: say so rather than wait in front of an empty list.
        m_timer.stop();
        QMessageBox::warning(this, windowTitle(), text("DSTR_MAIN_AABROWSEDNSERROR"));
        reject();
    }
}

void BrowserDialog::showRows(bool fromScratch)
{
    if (fromScratch)
        m_ui->serverList->clear();
    // Entries only ever add up in arrival order: the rows not shown yet are the last ones.
    const auto rows = m_browser.rows(m_ui->resistanceBox->isChecked(), m_ui->flashpointBox->isChecked());
    for (auto i = static_cast<std::size_t>(m_ui->serverList->topLevelItemCount()); i < rows.size(); ++i) {
        auto *item = new QTreeWidgetItem(
            {toQt(rows[i].name), QString::fromStdString(rows[i].players), QString::fromStdString(rows[i].address)});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        m_ui->serverList->addTopLevelItem(item);
    }
}

void BrowserDialog::choose()
{
    const auto selected = m_ui->serverList->selectedItems();
    if (selected.isEmpty())
        return;
    m_selected = selected.front()->text(2).toStdString();
    accept();
}

} // namespace garrison::gui
