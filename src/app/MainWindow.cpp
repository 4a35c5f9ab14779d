#include "MainWindow.h"

#include "app/AsRunLog.h"
#include "app/Orders.h"
#include "app/PageFile.h"
#include "app/SettingsFile.h"
#include "app/Shell.h"
#include "app/Zelk.h"
#include "effects/Effects.h"
#include "link/CommandProtocol.h"
#include "link/Identify.h"
#include "link/PortScan.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "link/StatusLine.h"
#include "pages/EditorClipboard.h"
#include "pages/LineEditor.h"
#include "pages/PageClearing.h"
#include "pages/PageView.h"
#include "pages/TextSearch.h"
#include "roster/Roster.h"
#include "settings/DisplaySettings.h"
#include "transmit/Transmission.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

MainWindow::MainWindow(Zelk& z, SerialPort& port, QWidget* parent) : QMainWindow(parent), z_(z)
{
    setObjectName(QStringLiteral("frmZELK"));
    setWindowTitle(QStringLiteral("ZELK v1.90"));
    z_.ui.frmZELK = this;

    protocol_ = std::make_unique<CommandProtocol>(z_, port);
    link_ = std::make_unique<SerialLink>(z_, port);
    settingsFile_ = std::make_unique<SettingsFile>(z_);
    shell_ = std::make_unique<Shell>(z_, *this);
    pageView_ = std::make_unique<PageView>(z_);
    editor_ = std::make_unique<LineEditor>(z_);
    transmission_ = std::make_unique<Transmission>(z_);
    displaySettings_ = std::make_unique<DisplaySettings>(z_);
    roster_ = std::make_unique<Roster>(z_);
    pageFile_ = std::make_unique<PageFile>(z_);
    clearing_ = std::make_unique<PageClearing>(z_);
    clipboard_ = std::make_unique<EditorClipboard>(z_);
    search_ = std::make_unique<TextSearch>(z_);
    effects_ = std::make_unique<Effects>(z_);
    // The as-run log and the orders of a second start or of automation
    asRun_ = std::make_unique<AsRunLog>(z_);
    orders_ = std::make_unique<Orders>(z_);

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(6, 4, 6, 4);
    column->setSpacing(4);

    z_.ui.tabMain = new QTabBar(central);
    z_.ui.tabMain->setObjectName(QStringLiteral("tabMain"));
    for (const char* caption : {"Text Editor", "Setup", "Effects", "Titler Names", "System Setup"})
        z_.ui.tabMain->addTab(QLatin1String(caption));
    z_.ui.tabMain->setExpanding(true);
    column->addWidget(z_.ui.tabMain);

    // Tabs 1 and 2 share frame 0: the editor (1) or the settings (2) above the page bar (6).
    QFrame* f0 = makeFrame(0, central);
    auto* f0Layout = new QVBoxLayout(f0);
    f0Layout->setContentsMargins(4, 4, 4, 4);
    QFrame* f1 = makeFrame(1, f0);
    (new QVBoxLayout(f1))->addWidget(editor_->buildPanel(f1));
    editor_->addSidePanel(clearing_->buildPanel(f1));
    QFrame* f2 = makeFrame(2, f0);
    (new QVBoxLayout(f2))->addWidget(displaySettings_->buildPanel(f2));
    QFrame* f6 = makeFrame(6, f0);
    auto* bar = new QGridLayout(f6);
    bar->setContentsMargins(6, 4, 6, 4);
    bar->setVerticalSpacing(2);
    bar->addWidget(pageView_->buildNavigation(f6), 0, 0, 2, 1);
    bar->addWidget(transmission_->buildAddressBox(f6), 0, 1);
    bar->addWidget(pageView_->buildSelectedTick(f6), 0, 2);
    bar->addWidget(transmission_->buildTitlerName(f6), 1, 1, 1, 2);
    bar->addWidget(transmission_->buildSendPanel(f6), 2, 0, 1, 3);
    search_->buildInto(z_.ui.fraFind);
    clearing_->attachRangeBoxes();
    bar->setColumnStretch(2, 1);
    f0Layout->addWidget(f1);
    f0Layout->addWidget(f2);
    f0Layout->addWidget(f6);
    column->addWidget(f0, 1);

    QFrame* f3 = makeFrame(3, central); // the effects
    (new QVBoxLayout(f3))->addWidget(effects_->buildPanel(f3));
    column->addWidget(f3, 1);
    QFrame* f4 = makeFrame(4, central);
    (new QVBoxLayout(f4))->addWidget(roster_->buildPanel(f4));
    column->addWidget(f4, 1);
    QFrame* f5 = makeFrame(5, central);
    (new QVBoxLayout(f5))->addWidget(link_->buildPanel(f5));
    column->addWidget(f5, 1);

    status_ = std::make_unique<StatusLine>(z_, central);
    column->addWidget(status_->widget());

    // Port auto-detection and titler identification hook onto their buttons in the panels above.
    portScan_ = std::make_unique<PortScan>(z_, port);
    identification_ = std::make_unique<Identification>(z_);
    setCentralWidget(central);

    buildMenus();
    buildToolBar();
    pageFile_->connectMenus(this);
    clipboard_->connectWindow(this);

    connect(z_.ui.tabMain, &QTabBar::currentChanged, this, [this](int i) { shell_->TabSwitch(i + 1); });
}

MainWindow::~MainWindow()
{
    // The controls go with the window; nothing may reach them through the shared object afterwards.
    z_.EventsSuppressed = true;
}

QFrame* MainWindow::makeFrame(int index, QWidget* parent)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QStringLiteral("framain(%1)").arg(index));
    f->setFrameShape(index == 0 ? QFrame::NoFrame : QFrame::StyledPanel);
    z_.ui.framain[std::size_t(index)] = f;
    return f;
}

void MainWindow::buildMenus()
{
    auto action = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    action(file, "mnuFileOpen", QStringLiteral("&Open"));
    action(file, "mnuFileSave", QStringLiteral("&Save"));
    file->addSeparator()->setObjectName(QStringLiteral("mnuSeperator1"));
    connect(action(file, "mnuExit", QStringLiteral("E&xit")), &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    action(edit, "mnuCut", QStringLiteral("Cu&t"));
    action(edit, "mnuCopy", QStringLiteral("&Copy"));
    action(edit, "mnuPaste", QStringLiteral("&Paste"));

    QAction* help = menuBar()->addAction(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(help, &QAction::triggered, this, [this] { shell_->mnuHelp_Click(); });
}

void MainWindow::buildToolBar()
{
    z_.ui.tbMain = addToolBar(QStringLiteral("tbMain"));
    z_.ui.tbMain->setObjectName(QStringLiteral("tbMain"));
    z_.ui.tbMain->setMovable(false);
    z_.ui.tbMain->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const char* key : {"New", "Open", "Save", "Align Left", "Align Right", "Center", "Cut", "Copy", "Paste", "Find"}) {
        QAction* a = z_.ui.tbMain->addAction(QLatin1String(key));
        a->setObjectName(QStringLiteral("tb") + QString(QLatin1String(key)).remove(QLatin1Char(' ')));
        a->setData(QLatin1String(key));
    }
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    if (shell_->Form_Unload())
        e->accept();
    else
        e->ignore();
}
