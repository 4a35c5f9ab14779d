#include "Monitor.h"

#include "ScreenView.h"
#include "pxtsim/ScreenPicture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QVBoxLayout>

#include <poll.h>

using namespace pxtsim;

namespace {

constexpr int kTickMs = 100;
constexpr int kKeptFrames = 5000; // the list forgets older frames; the log file keeps them all

QString shown(const char* key, const QString& value)
{
    return QLatin1String(key) + QLatin1Char(' ') + (value.isEmpty() ? QStringLiteral("-") : value);
}

// "000012.345 05 28 021 |HI|" becomes "000012.345  05  28 text  021 |HI|".
QString readableFrame(const QString& line)
{
    const QStringList f = line.split(QLatin1Char(' '));
    if (f.size() < 3)
        return line;
    const QString meaning = QLatin1String(codeMeaning(f[2].toLatin1()));
    QString out = f[0] + QStringLiteral("  ") + f[1] + QStringLiteral("  ") + f[2];
    if (!meaning.isEmpty())
        out += QLatin1Char(' ') + meaning;
    const QString rest = line.section(QLatin1Char(' '), 3);
    return rest.isEmpty() ? out : out + QStringLiteral("  ") + rest;
}

} // namespace

MonitorWindow::MonitorWindow(Simulator& simulator, const AddressSet& played) : simulator_(simulator)
{
    setWindowTitle(QStringLiteral("pxt-sim monitor"));
    auto* column = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Titler"), this));
    titlers_ = new QComboBox(this);
    for (int a = 1; a < 100; ++a) {
        if (played.test(std::size_t(a)))
            titlers_->addItem(QStringLiteral("%1").arg(a, 2, 10, QLatin1Char('0')), a);
    }
    top->addWidget(titlers_);
    follow_ = new QCheckBox(QStringLiteral("Follow the line"), this);
    follow_->setToolTip(QStringLiteral("Show the titler that the last frame went to"));
    follow_->setChecked(true);
    top->addWidget(follow_);
    top->addStretch(1);
    column->addLayout(top);

    screen_ = new ScreenView(this);
    column->addWidget(screen_, 3);
    settings_ = new QLabel(this);
    settings_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    settings_->setFont(fixed);
    column->addWidget(settings_);

    column->addWidget(new QLabel(QStringLiteral("Frames"), this));
    frames_ = new QListWidget(this);
    frames_->setFont(fixed);
    frames_->setUniformItemSizes(true);
    column->addWidget(frames_, 2);

    // The list stays at its newest frame unless the operator scrolled back to read.
    QScrollBar* bar = frames_->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, [this, bar](int value) { framesAtEnd_ = value == bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this] {
        if (framesAtEnd_)
            frames_->scrollToBottom();
    });
    connect(titlers_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(&tick_, &QTimer::timeout, this, [this] {
        const Titler& t = simulator_.bus().titler(qMax(1, chosenTitler()));
        if (t.timeDisplay == QLatin1String("on") || t.dateDisplay == QLatin1String("on"))
            refresh();
    });
    tick_.start(kTickMs);
    refresh();
}

int MonitorWindow::chosenTitler() const
{
    return titlers_->currentData().toInt();
}

void MonitorWindow::framesLogged(const QStringList& lines)
{
    int followed = 0;
    for (const QString& line : lines) {
        frames_->addItem(readableFrame(line));
        const int address = line.section(QLatin1Char(' '), 1, 1).toInt();
        if (address > 0 && titlers_->findData(address) >= 0)
            followed = address;
    }
    while (frames_->count() > kKeptFrames)
        delete frames_->takeItem(0);
    if (follow_->isChecked() && followed > 0)
        titlers_->setCurrentIndex(titlers_->findData(followed));
    refresh();
}

void MonitorWindow::refresh()
{
    const int address = chosenTitler();
    if (address <= 0)
        return;
    const TitlerBus& bus = simulator_.bus();
    const Titler& t = bus.titler(address);
    screen_->setPicture(screenPicture(t, simulator_.nowUs() / 1000));
    if (!bus.reached(address)) {
        settings_->setText(QStringLiteral("No frame has reached titler %1 yet.").arg(address, 2, 10, QLatin1Char('0')));
        return;
    }
    settings_->setText(QStringList{shown("display", t.display), shown("background", t.background),
                                   shown("characters", t.characters), shown("contrast", t.contrast)}
                           .join(QStringLiteral("  ")) +
                       QLatin1Char('\n') +
                       QStringList{shown("hsize", t.hsize), shown("vsize", t.vsize), shown("hpos", t.hpos),
                                   shown("vpos", t.vpos), shown("oldformat", t.oldFormat)}
                           .join(QStringLiteral("  ")) +
                       QLatin1Char('\n') +
                       QStringList{shown("time", t.timeDisplay), shown("timepos", t.timePosition),
                                   shown("timeformat", t.timeFormat), shown("date", t.dateDisplay),
                                   shown("datepos", t.datePosition), shown("dateformat", t.dateFormat)}
                           .join(QStringLiteral("  ")));
}

int runMonitor(const SimOptions& options)
{
    Simulator simulator(options);
    if (!simulator.start())
        return 1;
    MonitorWindow window(simulator, options.titlers);
    simulator.setLogListener([&window](const QStringList& lines) { window.framesLogged(lines); });

    // The same steps as the headless loop, woken by the event loop instead of poll().
    QSocketNotifier master(simulator.masterFd(), QSocketNotifier::Read);
    QSocketNotifier signalNotifier(simulator.signalFd(), QSocketNotifier::Read);
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    const auto step = [&] {
        pollfd fds[2] = {{simulator.signalFd(), POLLIN, 0},
                         {master.isEnabled() ? simulator.masterFd() : -1, POLLIN, 0}};
        ::poll(fds, 2, 0);
        if (!simulator.serve(fds[0].revents, fds[1].revents)) {
            QCoreApplication::quit();
            return;
        }
        const Simulator::Wait next = simulator.prepare();
        master.setEnabled(next.watchMaster);
        if (next.wakeUs >= 0)
            wake.start(int(qMax<qint64>(0, (next.wakeUs - simulator.nowUs() + 999) / 1000)));
        else
            wake.stop();
    };
    QObject::connect(&master, &QSocketNotifier::activated, &window, step);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &window, step);
    QObject::connect(&wake, &QTimer::timeout, &window, step);
    step();

    // Beside the program: the right half of the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry();
        window.resize(qMin(free.width() / 2, 640), qMin(free.height(), 720));
        window.move(free.x() + free.width() / 2, free.y());
    }
    window.show();
    const int code = QApplication::exec();
    simulator.finish();
    return code;
}
