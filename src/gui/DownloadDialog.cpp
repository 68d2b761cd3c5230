#include "gui/DownloadDialog.h"

#include "addondb/Package.h"
#include "gui/QtText.h"
#include "gui/WindowTranslation.h"
#include "ui_DownloadDialog.h"

#include <algorithm>

namespace garrison::gui {

namespace {

void showBar(QProgressBar &bar, const DownloadDisplay::Bar &values)
{
    // A range of 0 would make Qt draw a busy bar: nothing to do yet shows empty.
    bar.setRange(0, static_cast<int>(std::clamp<std::uint32_t>(values.range, 1, INT32_MAX)));
    bar.setValue(static_cast<int>(std::min(values.position, values.range)));
}

} // namespace

DownloadDialog::DownloadDialog(const LanguageTable &language, AddonDatabase &database, const std::string &workFolder,
                               bool allowFileUrls, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::DownloadDialog>()), m_engine(database, language, workFolder)
{
    m_ui->setupUi(this);
    translateWindow(*this, language);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &DownloadDialog::reject);
    connect(&m_barsTimer, &QTimer::timeout, this, &DownloadDialog::showBars);
    connect(&m_textsTimer, &QTimer::timeout, this, &DownloadDialog::showTexts);
    m_engine.allowFileUrls(allowFileUrls);
    m_engine.start();
    m_barsTimer.start(100);
    m_textsTimer.start(500);
}

DownloadDialog::~DownloadDialog()
{
    m_engine.cancel();
    m_engine.wait();
}

void DownloadDialog::reject()
{
    if (m_engine.finished()) {
        QDialog::reject();
        return;
    }
    m_engine.cancel();
    m_ui->cancelButton->setEnabled(false);
}

void DownloadDialog::showBars()
{
    const DownloadDisplay display = m_engine.bars();
    showBar(*m_ui->fileBar, display.file);
    showBar(*m_ui->totalBar, display.total);
    showBar(*m_ui->installBar, display.install);
    if (m_engine.finished()) {
        m_barsTimer.stop();
        m_textsTimer.stop();
        m_engine.wait();
        accept();
    }
}

void DownloadDialog::showTexts()
{
    const DownloadDisplay display = m_engine.display(currentFileTime());
    m_ui->downloadingName->setText(toQt(display.downloading));
    m_ui->installingName->setText(toQt(display.installing));
    m_ui->speedText->setText(toQt(display.speed));
    m_ui->fileText->setText(toQt(display.fileText));
    m_ui->totalText->setText(toQt(display.totalText));
    m_ui->percentText->setText(toQt(display.percent));
    m_ui->leftText->setText(toQt(display.timeLeft));
    m_ui->elapsedText->setText(toQt(display.elapsed));
}

} // namespace garrison::gui
