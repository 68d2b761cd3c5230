#include "gui/InternetPage.h"

#include "gui/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace garrison::gui {

namespace {

QLineEdit *filterEdit(const QString &hint, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setPlaceholderText(hint);
    edit->setAccessibleName(hint);
    edit->setClearButtonEnabled(true);
    return edit;
}

} // namespace

InternetPage::InternetPage(InternetBrowser &browser, QWidget *parent)
    : QWidget(parent), m_browser(browser), m_model(browser, this)
{
    m_game = new QComboBox(this);
    m_game->addItems({tr("Both games"), tr("Operation Flashpoint"), tr("Flashpoint Resistance")});
    m_game->setAccessibleName(tr("Game"));
    m_notFull = new QCheckBox(tr("Not full"), this);
    m_notEmpty = new QCheckBox(tr("Not empty"), this);
    m_noPassword = new QCheckBox(tr("No password"), this);
    m_version = filterEdit(tr("Version"), this);
    m_mod = filterEdit(tr("Mod"), this);
    m_search = filterEdit(tr("Search name, map, mission, address"), this);
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("internetList"));
    m_list->setAccessibleName(tr("Internet servers"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSortingEnabled(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setModel(&m_model);
    m_list->sortByColumn(static_cast<int>(InternetColumn::Players), Qt::DescendingOrder);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(static_cast<int>(InternetColumn::Name), QHeaderView::Stretch);
    m_list->setMinimumSize(800, 280);
    m_refresh = new QPushButton(tr("Refresh"), this);
    m_refresh->setObjectName(QStringLiteral("refreshButton"));
    m_progress = new QProgressBar(this);
    m_progress->setAccessibleName(tr("Servers asked"));
    m_status = new QLabel(this);
    m_status->setWordWrap(true);

    auto *filters = new QHBoxLayout;
    for (QWidget *widget : std::initializer_list<QWidget *>{m_game, m_notFull, m_notEmpty, m_noPassword})
        filters->addWidget(widget);
    filters->addStretch();
    auto *texts = new QHBoxLayout;
    texts->addWidget(m_search, 3);
    texts->addWidget(m_mod, 1);
    texts->addWidget(m_version, 1);
    auto *progress = new QHBoxLayout;
    progress->addWidget(m_refresh);
    progress->addWidget(m_progress, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addLayout(texts);
    layout->addWidget(m_list, 1);
    layout->addLayout(progress);
    layout->addWidget(m_status);

    connect(m_game, &QComboBox::currentIndexChanged, this, &InternetPage::applyFilter);
    for (QCheckBox *box : {m_notFull, m_notEmpty, m_noPassword})
        connect(box, &QCheckBox::toggled, this, &InternetPage::applyFilter);
    for (QLineEdit *edit : {m_version, m_mod, m_search})
        connect(edit, &QLineEdit::textChanged, this, &InternetPage::applyFilter);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &InternetPage::selectionChanged);
    connect(m_list, &QTreeView::doubleClicked, this, &InternetPage::chosen);
    connect(m_refresh, &QPushButton::clicked, this, [this] {
        m_browser.refresh();
        showProgress();
    });
    if (m_browser.hasMasters())
        m_browser.refresh();
    showProgress();
}

std::string InternetPage::selectedAddress() const
{
    const auto rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? std::string() : m_model.address(rows.front().row());
}

void InternetPage::poll()
{
    if (m_browser.takeEndedRun()) {
        m_model.reload();
        emit selectionChanged();
    }
    showProgress();
}

void InternetPage::applyFilter()
{
    InternetFilter filter;
    filter.game = static_cast<InternetFilter::Game>(m_game->currentIndex());
    filter.notFull = m_notFull->isChecked();
    filter.notEmpty = m_notEmpty->isChecked();
    filter.noPassword = m_noPassword->isChecked();
    filter.version = fromQt(m_version->text());
    filter.mod = fromQt(m_mod->text());
    filter.search = fromQt(m_search->text());
    m_model.setFilter(filter);
    emit selectionChanged();
}

void InternetPage::showProgress()
{
    const auto progress = m_browser.progress();
    m_refresh->setEnabled(m_browser.hasMasters() && !progress.running);
    m_progress->setMaximum(static_cast<int>(std::max<std::size_t>(progress.total, 1)));
    m_progress->setValue(static_cast<int>(progress.done));
    QStringList lines;
    if (!m_browser.hasMasters())
        lines << tr("No master server is set. Enter one or more on the Linux page of Config.");
    for (const auto &bad : m_browser.badMasters())
        lines << tr("\"%1\" is no HOST[:PORT] of a master.").arg(toQt(bad));
    for (const auto &failure : progress.failures)
        lines << toQt(failure);
    if (progress.running)
        lines << (progress.total ? tr("Asking %1 of %2 servers…").arg(progress.done).arg(progress.total)
                                 : tr("Asking the masters…"));
    else if (m_browser.hasMasters())
        lines << (m_model.rowCount() == 1 ? tr("1 server shown.") : tr("%1 servers shown.").arg(m_model.rowCount()));
    m_status->setText(lines.join(QLatin1Char('\n')));
}

} // namespace garrison::gui
