#include "Shell.h"

#include "app/AppFolders.h"
#include "app/FileWarnings.h"
#include "app/OrderClient.h"
#include "app/Orders.h"
#include "app/PageFile.h"
#include "app/SettingsFile.h"
#include "app/Zelk.h"
#include "core/Errors.h"
#include "effects/Effects.h"
#include "link/CommandProtocol.h"
#include "link/SerialLink.h"
#include "link/StatusLine.h"
#include "pages/PageView.h"
#include "settings/ClockPreview.h"
#include "transmit/Transmission.h"

#include <QCoreApplication>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QLockFile>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTimer>

#include <cstdio>

namespace {

QTimer* makeTimer(QObject* parent, const char* name, int intervalMs)
{
    auto* t = new QTimer(parent);
    t->setObjectName(QLatin1String(name));
    t->setInterval(intervalMs);
    return t;
}

} // namespace

Shell::Shell(Zelk& z, QMainWindow& window) : QObject(&window), z_(z), window_(window)
{
    z_.shell = this;
    z_.ui.tmrTime = makeTimer(this, "tmrTime", 100);
    z_.ui.tmrBlink = makeTimer(this, "tmrBlink", 10);
    z_.ui.tmrOnMin = makeTimer(this, "tmrOnMin", 60000);
    z_.ui.tmrOffMin = makeTimer(this, "tmrOffMin", 60000);
    z_.ui.tmrOnSec = makeTimer(this, "tmrOnSec", 1000);
    z_.ui.tmrOffSec = makeTimer(this, "tmrOffSec", 1000);
    connect(z_.ui.tmrTime, &QTimer::timeout, this, &Shell::tmrTime_Timer);
}

Shell::~Shell() = default;

QString Shell::GetAppPath()
{
    folders::Facts facts;
    facts.zelkHome = QString::fromLocal8Bit(qgetenv("ZELK_HOME"));
    facts.programDir = QCoreApplication::applicationDirPath();
    facts.programDirWritable = QFileInfo(facts.programDir).isWritable();
    facts.installed = folders::isInstalledLayout(facts.programDir);
    facts.configDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QString dir = folders::settingsFolder(facts);
    if (dir != facts.programDir)
        QDir().mkpath(dir);
    if (!dir.endsWith(QLatin1Char('/')) && !dir.endsWith(QDir::separator()))
        dir += QLatin1Char('/');
    return dir;
}

bool Shell::Form_Load(const QStringList& arguments)
{
    // A page file named on the command line is relative to the folder the program was started in.
    const QDir startFolder = QDir::current();
    const QString commandLine = arguments.join(QLatin1Char(' '));
    const bool pageFileNamed = !commandLine.isEmpty() && commandLine.endsWith(QLatin1String("zlk"), Qt::CaseSensitive);
    // A single running copy per settings folder; a lock left by a crashed copy is recognised by its dead process.
    lock_ = std::make_unique<QLockFile>(GetAppPath() + QStringLiteral("ZELK.lock"));
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        // A folder where no lock can be made (read-only) holds no other copy's lock either: run, and say so below.
        if (lock_->error() == QLockFile::LockFailedError) {
            lock_.reset();
            unloaded_ = true; // nothing to save: this copy never loaded anything
            // The running copy takes over this start's page file, or only comes to the front.
            if (!orders::handOver(GetAppPath(), pageFileNamed ? startFolder.absoluteFilePath(commandLine) : QString()))
                std::fprintf(stderr, "zelk: another copy runs for this settings folder but could not be reached\n");
            return false;
        }
        lock_.reset();
    }
    if (z_.orders)
        z_.orders->listen(GetAppPath());

    z_.CurrentPageBase = 100;
    z_.LastEditLine = 1;
    z_.OvertypeMode = true;
    window_.resize(8895 / 15, 7875 / 15);
    z_.CommandPrefix = QString(QChar(27));
    z_.CurrentLine = 1;
    TabSwitch(selectedTab());
    if (z_.settingsFile)
        z_.settingsFile->LoadSettingsAtStart();
    // Told now, while the operator can still choose another folder, not when the closing save fails.
    filewarnings::checkSettingsFolder(z_, GetAppPath(), GetAppPath() + QStringLiteral("ZELK.ini"));
    QDir::setCurrent(GetAppPath());

    if (pageFileNamed && z_.pageFile)
        openCommandLineFile(startFolder.absoluteFilePath(commandLine));
    z_.ui.tmrTime->start();
    return true;
}

void Shell::openCommandLineFile(const QString& path)
{
    // As File Open: read into a copy, and a file that cannot be read is said in the window and changes nothing.
    if (z_.pageFile->OpenPageFile(path, QStringLiteral(" No pages were sent.")) && z_.transmission)
        z_.transmission->SendPages(QStringLiteral("All"));
}

bool Shell::Form_Unload()
{
    if (unloaded_)
        return true;
    if (z_.effects)
        z_.effects->StopForShutdown();
    if (z_.ui.cmdSend && z_.ui.cmdSend->text() == QLatin1String("Stop"))
        z_.ui.cmdSend->click();
    z_.FilePath = GetAppPath() + QStringLiteral("ZELK.ini");
    QString why;
    while (z_.settingsFile && !z_.settingsFile->WriteTableFile(z_.FilePath, &why) && !unattended_) {
        // Closing now would lose every change of this run: the operator decides.
        const auto answer = z_.dialogs.message(
            &window_, QMessageBox::Warning, QStringLiteral("PXT-12 ZELK"),
            QStringLiteral("The settings could not be saved to %1:\n%2\n\nRetry, close without saving (Ignore), or "
                           "keep ZELK open (Cancel)?")
                .arg(QDir::toNativeSeparators(z_.FilePath), why),
            QMessageBox::Retry | QMessageBox::Ignore | QMessageBox::Cancel, QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer != QMessageBox::Retry)
            break;
    }
    unloaded_ = true;
    z_.SendStopRequested = true;
    z_.EventsSuppressed = true;
    for (QTimer* t : {z_.ui.tmrBlink, z_.ui.tmrOffMin, z_.ui.tmrOffSec, z_.ui.tmrOnMin, z_.ui.tmrOnSec, z_.ui.tmrTime})
        if (t)
            t->stop();
    lock_.reset();
    return true;
}

int Shell::selectedTab() const
{
    return z_.ui.tabMain ? z_.ui.tabMain->currentIndex() + 1 : 1;
}

void Shell::TabSwitch(int index)
{
    if (z_.EventsSuppressed)
        return;
    auto& f = z_.ui.framain;
    for (QFrame* frame : f)
        if (frame) {
            frame->hide();
            frame->setEnabled(false);
        }
    auto showFrame = [](QFrame* frame) {
        if (frame) {
            frame->setEnabled(true);
            frame->show();
        }
    };
    auto showSearchAndModes = [this](bool visible) {
        for (QWidget* w : std::initializer_list<QWidget*>{z_.ui.fraFind, z_.ui.fraSendMode})
            if (w)
                w->setVisible(visible);
    };
    switch (index) {
    case 1:
        showFrame(f[1]);
        showFrame(f[0]);
        if (f[6])
            f[6]->setFrameShape(QFrame::StyledPanel);
        showFrame(f[6]);
        showSearchAndModes(true);
        z_.ui.tmrTime->start();
        break;
    case 2:
        LoadSetupTabInputs();
        showFrame(f[2]);
        showFrame(f[0]);
        if (f[6])
            f[6]->setFrameShape(QFrame::NoFrame);
        showFrame(f[6]);
        showSearchAndModes(false);
        break;
    case 3:
        if (z_.effects)
            z_.effects->ShowEffectsTab();
        showFrame(f[3]);
        break;
    case 4:
        showFrame(f[4]);
        break;
    case 5:
        showFrame(f[5]);
        if (z_.transmission) {
            z_.transmission->SetTimePreviewVisible(QStringLiteral("Off"));
            z_.transmission->SetDatePreviewVisible(QStringLiteral("Off"));
        }
        break;
    default:
        break;
    }
    if (z_.pageView)
        z_.pageView->ShowPage();
    if (z_.effects)
        z_.effects->AfterTabSwitch();
}

void Shell::LoadSetupTabInputs()
{
    auto setText = [this](const char* name, int s) {
        if (auto* e = window_.findChild<QLineEdit*>(QLatin1String(name)))
            e->setText(z_.table.text(s));
    };
    setText("txtCloneStart", slot::kCloneSettingsStart);
    setText("txtCloneEnd", slot::kCloneSettingsEnd);
    setText("mskUserTime", slot::kUserTime);
    setText("mskUserDate", slot::kUserDate);
}

void Shell::tmrTime_Timer()
{
    // The tick yields while it asks titlers; a tick that arrives meanwhile must not start a second round inside it.
    if (z_.EventsSuppressed || ticking_)
        return;
    ticking_ = true;
    const int tab = selectedTab();
    const bool offline = z_.ui.optWorkOffline && z_.ui.optWorkOffline->isChecked();
    const QString address = z_.ui.txtAddress ? z_.ui.txtAddress->text() : QString();
    if (tab != 3 && tab != 4) {
        if (!offline && tab == 5 && z_.link)
            z_.link->CheckTitlerOnline();
        if (tab == 1 || tab == 2) {
            if (z_.clockPreview && address != code::kBroadcast) {
                z_.clockPreview->UpdateTimePreview();
                if (tab == 1)
                    z_.clockPreview->UpdateDatePreview();
            }
            if (!offline) {
                if (address == code::kBroadcast && z_.LinkOnline && z_.status)
                    z_.status->ShowStatus(1);
                if (z_.protocol && !z_.protocol->IsTitlerEnabled(address))
                    z_.ClockReadFailed = true;
                QCoreApplication::processEvents();
            }
        }
    }
    ticking_ = false;
}

void Shell::mnuHelp_Click()
{
    for (const QString& dir : folders::manualFolders(GetAppPath(), QCoreApplication::applicationDirPath())) {
        const QString manual = dir + QStringLiteral("/Manual.PDF");
        if (QFileInfo::exists(manual)) {
            z_.desktop.open(manual);
            return;
        }
    }
}

QString Shell::ValidateNumber(QString& value, qint16 max, qint16 min, const QString& width, int slotIndex,
                              int messageCode)
{
    if (z_.EventsSuppressed)
        return {};
    try {
        if (value.isEmpty())
            value = QStringLiteral("-1");
        const int digits = widthDigits(width);
        auto format = [digits](const QString& v) {
            const auto n = parseDecimal(v);
            return n ? zeroPadded(roundHalfEven(*n), digits) : v;
        };
        const qint16 n = toInteger16(value, QStringLiteral("ValidateNumber"));
        value = QString::number(n);
        if (n > max || n < min) {
            ShowRangeError(messageCode, max, min);
            value = z_.table.text(slotIndex);
        } else {
            z_.table.setText(slotIndex, format(value));
        }
        return format(value);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
        return {};
    }
}

void Shell::ShowRangeError(int messageCode, qint16 max, qint16 min)
{
    if (messageCode != 101)
        return;
    z_.dialogs.message(&window_, QMessageBox::Warning, QStringLiteral("PXT-12 ZELK"),
                       QStringLiteral("Number must be between %1 and %2").arg(min).arg(max));
}
