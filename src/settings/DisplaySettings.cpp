#include "DisplaySettings.h"

#include "app/AsRunLog.h"
#include "app/Zelk.h"
#include "core/Errors.h"
#include "core/FlagGuard.h"
#include "link/CommandProtocol.h"
#include "link/LinkWatch.h"
#include "link/StatusLine.h"
#include "pages/PageView.h"
#include "settings/Adjusters.h"
#include "settings/ClockPreview.h"
#include "settings/ClockSetting.h"
#include "settings/NumberLabel.h"
#include "settings/SettingsCloning.h"
#include "settings/SettingsSender.h"
#include "settings/TitlerClock.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <optional>

namespace {

// Status codes this tab reports with.
constexpr int kStatusSendingSettings = 10;
constexpr int kStatusSettingsSent = 11;
constexpr int kStatusRefreshLink = 20;

struct OptionRow
{
    QRadioButton* Ui::*control;
    const char* name;
    const char* caption;
    const char* code;
    int k;
    bool refreshStatus; // the link state is re-evaluated first, which may stop the send
    int group;          // the options of one group exclude each other
};

enum Group { Display, Background, Characters, Contrast, HSize, VSize, TimeShown, DateShown, GroupCount };

const OptionRow kOptions[] = {
    {&Ui::optDisplayOn, "optDisplayOn", "On", "07", slot::kDisplayCode, true, Display},
    {&Ui::optDisplayOff, "optDisplayOff", "Off", "08", slot::kDisplayCode, true, Display},
    {&Ui::optBackgroundOn, "optBackgroundOn", "On", "09", slot::kBackgroundCode, false, Background},
    {&Ui::optBackgroundOff, "optBackgroundOff", "Off", "10", slot::kBackgroundCode, false, Background},
    {&Ui::optCharWhite, "optCharWhite", "White", "11", slot::kCharColourCode, true, Characters},
    {&Ui::optCharBlack, "optCharBlack", "Black", "12", slot::kCharColourCode, true, Characters},
    {&Ui::optContrastLow, "optContrastLow", "Low", "171", slot::kContrastCode, false, Contrast},
    {&Ui::optContrastMed, "optContrastMed", "Med", "172", slot::kContrastCode, false, Contrast},
    {&Ui::optContrastHi, "optContrastHi", "Hi", "173", slot::kContrastCode, false, Contrast},
    {&Ui::optTimeOn, "optTimeOn", "On", "34", slot::kTimeCode, false, TimeShown},
    {&Ui::optTimeOff, "optTimeOff", "Off", "35", slot::kTimeCode, false, TimeShown},
    {&Ui::optDateOn, "optDateOn", "On", "39", slot::kDateCode, false, DateShown},
    {&Ui::optDateOff, "optDateOff", "Off", "40", slot::kDateCode, false, DateShown},
    {&Ui::optHSize1x, "optHSize1x", "1x", "451", slot::kHSizeCode, false, HSize},
    {&Ui::optHSize2x, "optHSize2x", "2x", "452", slot::kHSizeCode, false, HSize},
    {&Ui::optHSize3x, "optHSize3x", "3x", "453", slot::kHSizeCode, false, HSize},
    {&Ui::optHSize4x, "optHSize4x", "4x", "454", slot::kHSizeCode, false, HSize},
    {&Ui::optVSize1x, "optVSize1x", "1x", "471", slot::kVSizeCode, false, VSize},
    {&Ui::optVSize2x, "optVSize2x", "2x", "472", slot::kVSizeCode, false, VSize},
    {&Ui::optVSize3x, "optVSize3x", "3x", "473", slot::kVSizeCode, false, VSize},
    {&Ui::optVSize4x, "optVSize4x", "4x", "474", slot::kVSizeCode, false, VSize},
    {&Ui::optVSize1s, "optVSize1s", "1s", "475", slot::kVSizeCode, false, VSize},
    {&Ui::optVSize2s, "optVSize2s", "2s", "476", slot::kVSizeCode, false, VSize},
};

QLabel* caption(QWidget* parent, const char* name, const QString& text, bool bold = false)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

QFrame* groupFrame(QWidget* parent, const char* name)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setFrameShape(QFrame::StyledPanel);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

} // namespace

DisplaySettings::DisplaySettings(Zelk& z)
    : z_(z), adjusters_(std::make_unique<Adjusters>(z)), clock_(std::make_unique<TitlerClock>(z)),
      preview_(std::make_unique<ClockPreview>(z)), clockSetting_(std::make_unique<ClockSetting>(z)),
      cloning_(std::make_unique<SettingsCloning>(z))
{
    z_.displaySettings = this;
}

DisplaySettings::~DisplaySettings()
{
    if (z_.displaySettings == this)
        z_.displaySettings = nullptr;
}

// ---- layout -------------------------------------------------------------------------------------------------------

QRadioButton* DisplaySettings::makeOption(int row, QWidget* parent)
{
    const OptionRow& r = kOptions[row];
    auto* o = new QRadioButton(QLatin1String(r.caption), parent);
    o->setObjectName(QLatin1String(r.name));
    z_.ui.*r.control = o;
    // Selected by the operator or by a page load: either way the handler runs (it sends only when allowed).
    connect(o, &QRadioButton::toggled, this, [this, o](bool checked) {
        if (checked)
            option_Click(o);
    });
    return o;
}

QWidget* DisplaySettings::buildPanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("setupPanel"));
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);

    QLabel* heading = caption(panel, "lblZELKSetup", QStringLiteral("ZELK TITLER SETUP"), true);
    QFont hf = heading->font();
    hf.setPointSizeF(hf.pointSizeF() * 1.2);
    heading->setFont(hf);
    heading->setAlignment(Qt::AlignCenter);

    // The heading sits over the left column only, so that the tab is no taller than the editor's.
    auto* sides = new QHBoxLayout;
    sides->setSpacing(4);
    auto* left = new QVBoxLayout;
    left->setSpacing(3);
    left->addWidget(heading);
    left->addWidget(buildDisplayAttributes(panel));
    left->addWidget(cloning_->build(panel));
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->setSpacing(3);
    right->addWidget(buildClockGroup(panel, true));
    right->addWidget(buildClockGroup(panel, false));
    right->addStretch();
    sides->addLayout(left);
    sides->addLayout(right, 1);
    column->addLayout(sides, 1);

    // One exclusive group per row of options; nothing is selected until a page is shown.
    std::array<QButtonGroup*, GroupCount> groups{};
    for (auto& g : groups)
        g = new QButtonGroup(panel);
    for (const OptionRow& r : kOptions)
        groups[std::size_t(r.group)]->addButton(z_.ui.*r.control);

    adjusters_->watchWindowKeys();
    return panel;
}

QWidget* DisplaySettings::buildDisplayAttributes(QWidget* parent)
{
    QFrame* box = groupFrame(parent, "fraDisplayAtt");
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(5, 3, 5, 4);
    grid->setVerticalSpacing(1);
    grid->setHorizontalSpacing(4);
    grid->addWidget(caption(box, "lblDisplayAtt", QStringLiteral("Display Attributes"), true), 0, 0, 1, 3,
                    Qt::AlignHCenter);

    auto optionRow = [&](int gridRow, const char* name, const char* text, int first, int last) {
        grid->addWidget(caption(box, name, QLatin1String(text)), gridRow, 0);
        auto* line = new QHBoxLayout;
        line->setSpacing(0);
        for (int i = first; i <= last; ++i)
            line->addWidget(makeOption(i, box));
        line->addStretch();
        grid->addLayout(line, gridRow, 1, 1, gridRow >= 5 ? 2 : 1);
    };
    optionRow(1, "lblDisplay", "Display", 0, 1);
    optionRow(2, "lblBackground", "Background", 2, 3);
    optionRow(3, "lblCharacters", "Characters", 4, 5);
    optionRow(4, "lblContrast", "Contrast", 6, 8);
    optionRow(5, "lblHSize", "Horiz. Size", 13, 16);
    optionRow(6, "lblVSize", "Vert. Size", 17, 22);

    grid->addWidget(caption(box, "lblPosition", QStringLiteral("Position")), 7, 0);
    auto* positions = new QHBoxLayout;
    positions->setSpacing(4);
    positions->addWidget(caption(box, "lblVertPos", QStringLiteral("Vert.")));
    positions->addWidget(adjusters_->buildField(Adjusters::VPos, box));
    positions->addSpacing(10);
    positions->addWidget(caption(box, "lblHorzPos", QStringLiteral("Horiz.")));
    positions->addWidget(adjusters_->buildField(Adjusters::HPos, box));
    positions->addStretch();
    grid->addLayout(positions, 7, 1, 1, 2);

    // The buttons stand beside the short rows at the top, where the options leave room.
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(2);
    z_.ui.cmdSendSettings = new QPushButton(QStringLiteral("Send Current "), box);
    z_.ui.cmdSendSettings->setObjectName(QStringLiteral("cmdSendSettings"));
    z_.ui.cmdSendAllSettings = new QPushButton(QStringLiteral("Send All"), box);
    z_.ui.cmdSendAllSettings->setObjectName(QStringLiteral("cmdSendAllSettings"));
    buttons->addWidget(z_.ui.cmdSendSettings);
    buttons->addWidget(z_.ui.cmdSendAllSettings);
    buttons->addStretch();
    grid->addLayout(buttons, 1, 2, 4, 1);
    grid->setColumnStretch(1, 1);
    connect(z_.ui.cmdSendSettings, &QPushButton::clicked, this, &DisplaySettings::cmdSendSettings_Click);
    connect(z_.ui.cmdSendAllSettings, &QPushButton::clicked, this, &DisplaySettings::cmdSendAllSettings_Click);
    return box;
}

QWidget* DisplaySettings::buildClockGroup(QWidget* parent, bool time)
{
    QFrame* box = groupFrame(parent, time ? "fraTimeSettings" : "fraDateSettings");
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(5, 3, 5, 4);
    grid->setVerticalSpacing(1);
    grid->setHorizontalSpacing(4);
    grid->addWidget(caption(box, time ? "lblTimeSettings" : "lblDateSettings",
                            time ? QStringLiteral("Time Settings") : QStringLiteral("Date Settings"), true),
                    0, 0, 1, 3, Qt::AlignHCenter);

    grid->addWidget(caption(box, time ? "lblTimeDisplay" : "lblDateDisplay",
                            time ? QStringLiteral("Time Display") : QStringLiteral("Date Display")),
                    1, 0);
    auto* shown = new QHBoxLayout;
    shown->setSpacing(0);
    shown->addWidget(makeOption(time ? 9 : 11, box));
    shown->addWidget(makeOption(time ? 10 : 12, box));
    shown->addStretch();
    grid->addLayout(shown, 1, 1, 1, 2);

    grid->addWidget(caption(box, time ? "lblTimeFormatNum" : "lblDateFormatNum", QStringLiteral("Format Num.")), 2, 0);
    grid->addWidget(adjusters_->buildField(time ? Adjusters::TimeFormat : Adjusters::DateFormat, box), 2, 1);
    // The example may take two lines (the down counters' texts are long): it spans the format and position rows.
    QLabel* example = time ? adjusters_->buildTimeFormatExample(box) : adjusters_->buildDateFormatExample(box);
    example->setWordWrap(true);
    grid->addWidget(example, 2, 2, 2, 1, Qt::AlignTop | Qt::AlignLeft);

    grid->addWidget(caption(box, time ? "lblTimePosition" : "lblDatePosition", QStringLiteral("Position")), 3, 0);
    grid->addWidget(adjusters_->buildField(time ? Adjusters::TimePos : Adjusters::DatePos, box), 3, 1);

    grid->addWidget(clockSetting_->buildRows(box, time), 4, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    return box;
}

// ---- storing and sending ------------------------------------------------------------------------------------------

void DisplaySettings::showStatus(int code)
{
    if (z_.status)
        z_.status->ShowStatus(code);
}

void DisplaySettings::storeSetting(int k, const QString& value)
{
    if (z_.EventsSuppressed || z_.SettingsLoading)
        return;
    z_.table.setText(z_.pageSlot(k), value);
    z_.table.setText(z_.pageSlot(k + slot::kSettingsCopyOffset), value);
}

void DisplaySettings::ApplyPageSetting(int k, const QString& value, const QString& c)
{
    if (z_.EventsSuppressed || z_.SettingsLoading)
        return;
    try {
        storeSetting(k, value);
        // Without a code the value is the command itself.
        const QString command = c.isEmpty() ? value : c;
        const QString parameter = c.isEmpty() ? QString() : value;
        // 8: offline, no titler or invalid port; 9: titler disabled. The value stays stored for the next full send.
        if (z_.PageRefreshing || z_.LastStatus == 8 || z_.LastStatus == 9 || !z_.LinkOnline)
            return;
        const LinkWatch link(z_.LinkOnline);
        showStatus(kStatusSendingSettings);
        SendSettings(z_.ui.txtAddress ? z_.ui.txtAddress->text() : QString(), command, parameter);
        if (z_.status)
            z_.status->showDone(kStatusSettingsSent, link);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void DisplaySettings::SendSettings(const QString& address, const QString& c, const QString& parameter)
{
    if (z_.EventsSuppressed || !z_.protocol)
        return;
    try {
        if (!z_.protocol->IsTitlerEnabled(address))
            return;
        if (!c.isEmpty()) {
            z_.protocol->SendCommand(address, c, parameter);
        } else {
            const QString datePosShown =
                z_.ui.lblDatePos ? z_.ui.lblDatePos->text() : z_.table.text(z_.pageSlot(slot::kDatePos));
            for (const SettingCommand& s : fullSettingsCommands(z_.table, z_.CurrentPageBase, datePosShown))
                z_.protocol->SendCommand(address, s.code, s.parameter);
        }
        z_.protocol->SendCommand(address, code::kCloseSettings);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void DisplaySettings::option_Click(QRadioButton* option)
{
    if (z_.EventsSuppressed)
        return;
    for (const OptionRow& r : kOptions) {
        if (z_.ui.*r.control != option)
            continue;
        if (r.refreshStatus)
            showStatus(kStatusRefreshLink);
        ApplyPageSetting(r.k, QLatin1String(r.code), QString());
        // The small sizes have their own vertical range: bring the position into it and send it.
        if (option == z_.ui.optVSize1s || option == z_.ui.optVSize2s)
            adjusters_->lblVPos_Change();
        return;
    }
}

void DisplaySettings::cmdSendSettings_Click()
{
    if (z_.EventsSuppressed)
        return;
    const LinkWatch link(z_.LinkOnline);
    showStatus(kStatusSendingSettings);
    const quint64 frames = asrun::framesWritten(z_);
    SendSettings(z_.ui.txtAddress ? z_.ui.txtAddress->text() : QString(), QString(), QString());
    asrun::noteIfSent(z_, frames, z_.ui.txtAddress ? z_.ui.txtAddress->text() : QString(), QStringLiteral("settings"),
                      z_.currentPage());
    if (z_.status)
        z_.status->showDone(kStatusSettingsSent, link);
}

void DisplaySettings::cmdSendAllSettings_Click()
{
    if (z_.EventsSuppressed)
        return;
    auto showPage = [this](int page) {
        if (z_.ui.txtPageNumber)
            z_.ui.txtPageNumber->setText(QString::number(page));
        if (z_.pageView)
            z_.pageView->ShowPage();
    };
    const LinkWatch link(z_.LinkOnline);
    std::optional<FlagGuard> sending;
    if (!sendingAll_)
        sending.emplace(sendingAll_);
    z_.PageRefreshing = true;
    for (int p = 1; p <= slot::kPages && !z_.EventsSuppressed && !link.lost(); ++p) {
        const QString address = z_.table.text(slot::page(p, slot::kAddress));
        if (z_.protocol && z_.protocol->IsTitlerEnabled(address)) {
            showPage(p); // loads page p and clears PageRefreshing when it ends
            const quint64 frames = asrun::framesWritten(z_);
            SendSettings(address, QString(), QString());
            asrun::noteIfSent(z_, frames, address, QStringLiteral("settings"), p);
            QCoreApplication::processEvents();
        }
        showStatus(kStatusSendingSettings);
    }
    z_.PageRefreshing = false;
    showPage(1);
    if (z_.status)
        z_.status->showDone(kStatusSettingsSent, link);
}
