#include "gui/BrowserDialog.h"

#include "gui/InternetPage.h"
#include "gui/QtText.h"
#include "ui_BrowserDialog.h"

#include <QHeaderView>
#include <QMessageBox>

#include <set>

namespace garrison::gui {

namespace {

constexpr int kPollMs = 200;

} // namespace

BrowserDialog::BrowserDialog(const LanguageTable &language, AddonBrowser *central, InternetBrowser &internet,
                             QWidget *parent)
    : CToolTipDialog(language, parent), m_ui(std::make_unique<Ui::BrowserDialog>()), m_browser(central),
      m_internet(internet)
{
    m_ui->setupUi(this);
    m_internetPage = new InternetPage(internet, this);
    m_ui->sources->addTab(m_internetPage, tr("Internet"));
    if (!m_browser) {
        m_ui->sources->setTabEnabled(0, false);
        m_ui->sources->setCurrentWidget(m_internetPage);
    }
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
    connect(m_ui->serverList, &QTreeWidget::itemSelectionChanged, this, &BrowserDialog::enableSelect);
    connect(m_ui->serverList, &QTreeWidget::itemDoubleClicked, this, &BrowserDialog::choose);
    connect(m_internetPage, &InternetPage::selectionChanged, this, &BrowserDialog::enableSelect);
    connect(m_internetPage, &InternetPage::chosen, this, &BrowserDialog::choose);
    connect(m_ui->sources, &QTabWidget::currentChanged, this, &BrowserDialog::enableSelect);
    connect(m_ui->selectButton, &QPushButton::clicked, this, &BrowserDialog::choose);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_timer, &QTimer::timeout, this, &BrowserDialog::poll);
    m_timer.start(kPollMs);
}

BrowserDialog::~BrowserDialog() = default;

void BrowserDialog::poll()
{
    m_internetPage->poll();
    if (!m_browser)
        return;
    const bool wasResolving = m_browser->state() == AddonBrowser::State::Resolving;
    if (m_browser->poll()) {
        showRows(false);
        // The Internet rows of the servers the central server lists have an Auto-Addon server.
        std::set<std::string> addresses;
        for (const auto &row : m_browser->rows(true, true))
            addresses.insert(row.address);
        m_internet.markAutoAddon(addresses);
    }
    if (wasResolving && m_browser->state() == AddonBrowser::State::HostUnknown) {
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
    const auto rows = m_browser->rows(m_ui->resistanceBox->isChecked(), m_ui->flashpointBox->isChecked());
    for (auto i = static_cast<std::size_t>(m_ui->serverList->topLevelItemCount()); i < rows.size(); ++i) {
        auto *item = new QTreeWidgetItem(
            {toQt(rows[i].name), QString::fromStdString(rows[i].players), QString::fromStdString(rows[i].address)});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        m_ui->serverList->addTopLevelItem(item);
    }
}

bool BrowserDialog::onInternetPage() const
{
    return m_ui->sources->currentWidget() == m_internetPage;
}

void BrowserDialog::enableSelect()
{
    m_ui->selectButton->setEnabled(onInternetPage() ? !m_internetPage->selectedAddress().empty()
                                                    : !m_ui->serverList->selectedItems().isEmpty());
}

void BrowserDialog::choose()
{
    if (onInternetPage()) {
        m_selected = m_internetPage->selectedAddress();
        if (!m_selected.empty())
            accept();
        return;
    }
    const auto selected = m_ui->serverList->selectedItems();
    if (selected.isEmpty())
        return;
    m_selected = selected.front()->text(2).toStdString();
    accept();
}

} // namespace garrison::gui
