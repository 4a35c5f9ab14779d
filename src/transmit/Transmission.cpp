#include "Transmission.h"

#include "core/Errors.h"
#include "core/FlagGuard.h"
#include "app/AsRunLog.h"
#include "app/Shell.h"
#include "app/Zelk.h"
#include "link/CommandProtocol.h"
#include "link/LinkWatch.h"
#include "link/StatusLine.h"
#include "core/Numbers.h"
#include "pages/LineEditor.h"
#include "pages/PageView.h"
#include "settings/ClockPreview.h"
#include "settings/DisplaySettings.h"
#include "transmit/AddressBox.h"
#include "transmit/LineFrames.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kStop = QStringLiteral("Stop");
const QString kSend = QStringLiteral("Send");

// A page's address as it is framed: numbers 0..99 in two digits; anything else as it stands (no titler takes it).
QString framedAddress(const QString& stored)
{
    const auto v = parseDecimal(stored);
    if (v && *v >= 0 && *v <= 99 && *v == double(qint64(*v)))
        return twoDigits(int(*v));
    return stored;
}

struct RangeMode
{
    const char* name;
    const char* caption;
    int fromSlot;
    int toSlot;
};

constexpr RangeMode kRangeModes[] = {
    {"ClearAddress", "Address", slot::kClearAddressFrom, slot::kClearAddressTo},
    {"SendPage", "Page", slot::kSendPageFrom, slot::kSendPageTo},
    {"ClearPage", "Page", slot::kClearPageFrom, slot::kClearPageTo},
    {"ClonePage", "Page", slot::kClonePageFrom, slot::kClonePageTo},
};

} // namespace

Transmission::Transmission(Zelk& z) : z_(z), address_(std::make_unique<AddressBox>(z))
{
    z_.transmission = this;
}

Transmission::~Transmission() = default;

QWidget* Transmission::buildAddressBox(QWidget* parent)
{
    return address_->build(parent);
}

QWidget* Transmission::buildTitlerName(QWidget* parent)
{
    return address_->buildTitlerName(parent);
}

QWidget* Transmission::buildSendPanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("sendPanel"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    // The frames keep their own width; on the "Setup" tab, where the mode and search frames are hidden, the
    // space stays empty.
    row->addWidget(buildSendFrame(panel));
    row->addWidget(buildModeFrame(panel));
    for (QWidget* frame : {static_cast<QWidget*>(z_.ui.fraSendPxt), static_cast<QWidget*>(z_.ui.fraSendMode)})
        frame->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    // The text search fills this frame.
    auto* find = new QGroupBox(QStringLiteral("Search For Text"), panel);
    find->setObjectName(QStringLiteral("fraFind"));
    z_.ui.fraFind = find;
    row->addWidget(find, 1);
    row->addStretch(0);
    buildPreviewBoxes(z_.ui.framain[1] ? static_cast<QWidget*>(z_.ui.framain[1]) : panel);
    return panel;
}

QWidget* Transmission::buildSendFrame(QWidget* parent)
{
    auto* frame = new QGroupBox(QStringLiteral("Send Screen"), parent);
    frame->setObjectName(QStringLiteral("fraSendPxt"));
    z_.ui.fraSendPxt = frame;
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);

    auto option = [frame](QRadioButton*& member, const char* name, const QString& caption) {
        member = new QRadioButton(caption, frame);
        member->setObjectName(QLatin1String(name));
        return member;
    };
    Ui& ui = z_.ui;
    grid->addWidget(option(ui.optSendCur, "optSendCur", QStringLiteral("Current")), 0, 0);
    grid->addWidget(option(ui.optSendAll, "optSendAll", QStringLiteral("All")), 0, 1);
    grid->addWidget(option(ui.optSendSel, "optSendSel", QStringLiteral("Selected")), 1, 0);
    grid->addWidget(option(ui.optSendRange, "optSendRange", QStringLiteral("Range")), 1, 1);
    ui.optSendCur->setChecked(true); // the window opens with it; no click for that

    ui.cmdSend = new QPushButton(kSend, frame);
    ui.cmdSend->setObjectName(QStringLiteral("cmdSend"));
    ui.cmdSend->setAutoDefault(false);
    ui.cmdSend->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    grid->addWidget(ui.cmdSend, 0, 2, 2, 1);

    // The range boxes, shared with clearing and cloning; disabled until a "Range" option takes them.
    auto label = [frame](const QString& name, const QString& caption) {
        auto* l = new QLabel(caption, frame);
        l->setObjectName(name);
        l->setEnabled(false);
        return l;
    };
    auto box = [frame](const char* name, const QString& text) {
        auto* b = new QLineEdit(text, frame);
        b->setObjectName(QLatin1String(name));
        b->setMaxLength(2);
        b->setAlignment(Qt::AlignCenter);
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
        b->setEnabled(false);
        return b;
    };
    ui.txtRangeFrom = box("txtRangeFrom", QStringLiteral("01"));
    ui.txtRangeTo = box("txtRangeTo", QStringLiteral("99"));
    auto* range = new QGridLayout;
    range->setHorizontalSpacing(3);
    range->setVerticalSpacing(2);
    for (int i = 0; i < 2; ++i) {
        range->addWidget(label(QStringLiteral("lblRangeType(%1)").arg(i), QStringLiteral("Page")), i, 0);
        range->addWidget(label(QStringLiteral("lblNumber(%1)").arg(i), QStringLiteral("Number")), i, 1);
    }
    range->addWidget(label(QStringLiteral("lblRangeFrom"), QStringLiteral("From")), 0, 2);
    range->addWidget(ui.txtRangeFrom, 0, 3);
    range->addWidget(label(QStringLiteral("lblRangeTo"), QStringLiteral("To")), 1, 2);
    range->addWidget(ui.txtRangeTo, 1, 3);
    range->setColumnStretch(4, 1);
    grid->addLayout(range, 2, 0, 1, 3);

    // Option buttons click whenever they become selected, by the operator or by a routine.
    auto onSelected = [this](QRadioButton* o, void (Transmission::*handler)()) {
        connect(o, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on)
                (this->*handler)();
        });
    };
    onSelected(ui.optSendCur, &Transmission::optSendCur_Click);
    onSelected(ui.optSendAll, &Transmission::optSendAll_Click);
    onSelected(ui.optSendSel, &Transmission::optSendSel_Click);
    onSelected(ui.optSendRange, &Transmission::optSendRange_Click);
    connect(ui.cmdSend, &QPushButton::clicked, this, [this] { cmdSend_Click(); });
    return frame;
}

QWidget* Transmission::buildModeFrame(QWidget* parent)
{
    auto* frame = new QGroupBox(QStringLiteral("Send Mode"), parent);
    frame->setObjectName(QStringLiteral("fraSendMode"));
    z_.ui.fraSendMode = frame;
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(6, 4, 6, 4);
    column->setSpacing(2);
    Ui& ui = z_.ui;
    auto option = [frame, column](QRadioButton*& member, const char* name, const QString& caption) {
        member = new QRadioButton(caption, frame);
        member->setObjectName(QLatin1String(name));
        column->addWidget(member);
    };
    option(ui.optSendContinuous, "optSendContinuous", QStringLiteral("Continuous"));
    option(ui.optSendEOL, "optSendEOL", QStringLiteral("End of Line"));
    option(ui.optSendManual, "optSendManual", QStringLiteral("Manual"));
    column->addStretch(1);
    ui.optSendManual->setChecked(true); // the window opens with it; the stored mode comes with the settings
    auto onSelected = [this](QRadioButton* o, void (Transmission::*handler)()) {
        connect(o, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on)
                (this->*handler)();
        });
    };
    onSelected(ui.optSendContinuous, &Transmission::optSendContinuous_Click);
    onSelected(ui.optSendEOL, &Transmission::optSendEOL_Click);
    onSelected(ui.optSendManual, &Transmission::optSendManual_Click);
    return frame;
}

void Transmission::buildPreviewBoxes(QWidget* editorFrame)
{
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto make = [&](QLineEdit*& member, const char* name) {
        member = new QLineEdit(editorFrame);
        member->setObjectName(QLatin1String(name));
        member->setReadOnly(true);
        member->setFont(fixed);
        member->setFrame(false);
        member->setTextMargins(0, 0, 0, 0);
        member->setGeometry(0, 0, 0, 0); // placed by the preview once it has something to show
        member->hide();
    };
    Ui& ui = z_.ui;
    make(ui.txtTimeDisplay, "txtTimeDisplay");
    make(ui.txtTimeDisplay2, "txtTimeDisplay2");
    make(ui.txtDateDisplay, "txtDateDisplay");
    make(ui.txtDateDisplay2, "txtDateDisplay2");
}

void Transmission::setPreviewPair(const QString& state, int first, int second)
{
    const bool on = state == QLatin1String("On");
    if (!on && state != QLatin1String("Off"))
        return;
    QLineEdit* boxes[] = {first == 0 ? z_.ui.txtTimeDisplay : z_.ui.txtDateDisplay,
                          second == 0 ? z_.ui.txtTimeDisplay2 : z_.ui.txtDateDisplay2};
    for (QLineEdit* box : boxes) {
        if (!box)
            continue;
        box->setVisible(on);
        if (on)
            box->raise();
    }
    // The preview lays the boxes over the cells of its positions, and keeps a continuation only where one is due.
    if (on && z_.clockPreview)
        z_.clockPreview->placeAgain();
}

void Transmission::SetTimePreviewVisible(const QString& state)
{
    if (z_.EventsSuppressed)
        return;
    setPreviewPair(state, 0, 0);
}

void Transmission::SetDatePreviewVisible(const QString& state)
{
    if (z_.EventsSuppressed)
        return;
    setPreviewPair(state, 1, 1);
}

void Transmission::showStatus(int c)
{
    if (z_.status)
        z_.status->ShowStatus(c);
}

void Transmission::showPageNumber(const QString& number)
{
    if (z_.ui.txtPageNumber)
        z_.ui.txtPageNumber->setText(number);
    if (z_.pageView)
        z_.pageView->ShowPage();
}

void Transmission::cmdSend_Click()
{
    if (z_.EventsSuppressed)
        return;
    Ui& ui = z_.ui;
    const LinkWatch link(z_.LinkOnline);
    z_.PageRefreshing = true;
    showStatus(2);
    if (ui.cmdSend->text() == kStop) {
        z_.SendStopRequested = true; // the running send ends before its next page
        return;
    }
    ui.cmdSend->setText(kStop);
    // A half-typed "5" in the address box means titler 05 before anything is decided by the address.
    if (z_.protocol)
        z_.protocol->lineAddress(QString(), true);
    try {
        if (ui.txtAddress && ui.txtAddress->text() == code::kBroadcast) {
            SendPageLines(code::kBroadcast, 0); // only the text reaches every titler
        } else if (ui.optSendCur->isChecked()) {
            z_.PageRefreshing = false;
            SendPages(QStringLiteral("Current"));
        } else if (ui.optSendSel->isChecked()) {
            SendPages(QStringLiteral("Selected"));
        } else if (ui.optSendRange->isChecked()) {
            SendPages(QStringLiteral("Range"));
        } else if (ui.optSendAll->isChecked()) {
            SendPages(QStringLiteral("All"));
        }
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
    if (z_.EventsSuppressed)
        return;
    if (ui.optTimeOn && ui.optTimeOn->isChecked())
        SetTimePreviewVisible(QStringLiteral("On"));
    if (ui.optDateOn && ui.optDateOn->isChecked())
        SetDatePreviewVisible(QStringLiteral("On"));
    ui.cmdSend->setText(kSend);
    z_.SendStopRequested = false;
    z_.PageRefreshing = false;
    if (z_.status)
        z_.status->showDone(3, link);
}

void Transmission::sendPageSettings(const QString& address)
{
    if (z_.displaySettings)
        z_.displaySettings->SendSettings(address, QString(), QString()); // closed by "32"
}

void Transmission::sendPageCommands(const QString& address)
{
    if (z_.protocol)
        z_.protocol->SendCommand(address, code::kDisplayOff);
    SendPageLines(address, 0);
    sendPageSettings(address);
    if (z_.protocol && z_.ui.optDisplayOn && z_.ui.optDisplayOn->isChecked())
        z_.protocol->SendCommand(address, code::kDisplayOn);
}

void Transmission::sendPage(int page, const QString& address)
{
    showPageNumber(QString::number(page));
    showStatus(2);
    sendPageCommands(address);
    QCoreApplication::processEvents();
}

bool Transmission::sendPageLoop(int from, int to, bool selectedOnly, const LinkWatch& link)
{
    // Pages outside 1..99 do not exist; their "slots" are the program's own tables.
    for (int p = std::max(from, 1); p <= std::min(to, slot::kPages); ++p) {
        if (z_.SendStopRequested || z_.EventsSuppressed || link.lost())
            return false;
        const QString address = framedAddress(z_.table.text(slot::page(p, slot::kAddress)));
        const bool wanted = !selectedOnly || z_.table.toInt(slot::page(p, slot::kSelected)) == 1;
        if (wanted && z_.protocol && z_.protocol->IsTitlerEnabled(address))
            sendPage(p, address);
        else if (selectedOnly)
            QCoreApplication::processEvents();
    }
    return true;
}

void Transmission::SendPages(const QString& scope, const QString& line)
{
    if (z_.EventsSuppressed)
        return;
    Ui& ui = z_.ui;
    const LinkWatch link(z_.LinkOnline);
    try {
        if (scope == QLatin1String("Line")) {
            const qint16 n = toInteger16(line, QStringLiteral("SendPages: line"));
            SendPageLines(ui.txtAddress ? ui.txtAddress->text() : QString(), n);
            return;
        }
        if (scope == QLatin1String("Current")) {
            FlagGuard active(z_.TransmissionActive);
            sendPageCommands(ui.txtAddress ? ui.txtAddress->text() : QString());
        } else if (scope == QLatin1String("All") || scope == QLatin1String("Selected")) {
            FlagGuard active(z_.TransmissionActive);
            if (sendPageLoop(1, slot::kPages, scope == QLatin1String("Selected"), link))
                showPageNumber(QStringLiteral("1"));
        } else if (scope == QLatin1String("Range")) {
            FlagGuard active(z_.TransmissionActive);
            const qint16 to = toInteger16(ui.txtRangeTo->text(), QStringLiteral("SendPages: range to"));
            const qint16 from = toInteger16(ui.txtRangeFrom->text(), QStringLiteral("SendPages: range from"));
            if (sendPageLoop(from, to, false, link))
                showPageNumber(ui.txtRangeFrom->text());
        }
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void Transmission::SendPageLines(const QString& address, int line)
{
    if (z_.EventsSuppressed || !z_.LinkOnline)
        return;
    showStatus(2);
    if (!z_.protocol)
        return;
    // A frame with a short or odd address would be read by the titlers as some other command.
    const QString target = z_.protocol->lineAddress(address, true);
    if (target.isEmpty())
        return;
    Ui& ui = z_.ui;
    for (int i = 1; i <= slot::kLines; ++i) {
        if (line != 0 && line != i)
            continue;
        const QLabel* label = ui.lblLineNum[std::size_t(i)];
        const qint32 state =
            label ? lineLabelState(label) : z_.table.toInt(z_.pageSlot(slot::kLineState1 + i - 1));
        if (state != slot::kLineOn)
            continue; // a line switched off stays off
        const QLineEdit* box = ui.txtMain[std::size_t(i)];
        const QString text = box ? box->text() : z_.table.text(z_.pageSlot(slot::kLine1 + i - 1));
        if (!z_.protocol->writeRaw(lines::lineFrame(z_.CommandPrefix, target, i, text)))
            return;
    }

    if (z_.asRun)
        z_.asRun->recordPage(target, z_.currentPage(), line);
    const QString shown = ui.txtPageNumber ? ui.txtPageNumber->text() : twoDigits(z_.currentPage());
    if (target == code::kBroadcast) {
        for (int a = 1; a <= 99; ++a)
            z_.table.setText(slot::titler(slot::kTitlerShownPageBlock, a), shown);
    } else if (const int a = target.toInt(); a >= 1 && a <= 99) {
        z_.table.setText(slot::titler(slot::kTitlerShownPageBlock, a), shown);
    }
}

void Transmission::optSendCur_Click()
{
    if (z_.EventsSuppressed)
        return;
    DisableRangeIfUnused();
    showStatus(20);
}

void Transmission::optSendAll_Click()
{
    optSendCur_Click();
}

void Transmission::optSendSel_Click()
{
    optSendCur_Click();
}

namespace {

QRadioButton* namedOption(const Zelk& z, const char* name)
{
    return z.ui.frmZELK ? z.ui.frmZELK->findChild<QRadioButton*>(QLatin1String(name)) : nullptr;
}

bool chosen(const QRadioButton* o)
{
    return o && o->isChecked();
}

void choose(QRadioButton* o)
{
    if (o)
        o->setChecked(true);
}

} // namespace

void Transmission::optSendRange_Click()
{
    if (z_.EventsSuppressed)
        return;
    // The range boxes serve one group at a time: the other groups let go of them.
    if (chosen(namedOption(z_, "optClearRangePxt")))
        choose(namedOption(z_, "optClearCurPxt"));
    if (chosen(namedOption(z_, "optClearRangeEditors")))
        choose(namedOption(z_, "optClearCurEditor"));
    if (QRadioButton* clone = namedOption(z_, "optClonePage"); chosen(clone)) {
        clone->setAutoExclusive(false); // a lone chosen option cannot otherwise be un-chosen
        clone->setChecked(false);
        clone->setAutoExclusive(true);
        for (const char* name : {"cmdClonePage", "cmdClonePageSend"})
            if (auto* b = z_.ui.frmZELK->findChild<QPushButton*>(QLatin1String(name)))
                b->setEnabled(false);
    }
    SetRangeMode(QStringLiteral("SendPage"));
    showStatus(20);
}

void Transmission::SetRangeMode(const QString& mode)
{
    if (z_.EventsSuppressed || !z_.ui.frmZELK)
        return;
    auto widget = [this](const QString& name) { return z_.ui.frmZELK->findChild<QWidget*>(name); };
    auto enable = [](QWidget* w) {
        if (w)
            w->setEnabled(true);
    };
    for (const char* name : {"lblRangeFrom", "lblRangeTo", "lblNumber(0)", "lblNumber(1)"})
        enable(widget(QLatin1String(name)));
    enable(z_.ui.txtRangeTo);
    enable(z_.ui.txtRangeFrom);
    for (const RangeMode& m : kRangeModes) {
        if (mode != QLatin1String(m.name))
            continue;
        for (int i = 0; i < 2; ++i)
            if (auto* l = qobject_cast<QLabel*>(widget(QStringLiteral("lblRangeType(%1)").arg(i)))) {
                l->setEnabled(true);
                l->setText(QLatin1String(m.caption));
            }
        if (z_.ui.txtRangeFrom)
            z_.ui.txtRangeFrom->setText(z_.table.text(m.fromSlot));
        if (z_.ui.txtRangeTo)
            z_.ui.txtRangeTo->setText(z_.table.text(m.toSlot));
    }
}

void Transmission::DisableRangeIfUnused()
{
    if (z_.EventsSuppressed || !z_.ui.frmZELK)
        return;
    if (chosen(namedOption(z_, "optClearRangeEditors")) || chosen(namedOption(z_, "optClearRangePxt")) ||
        chosen(z_.ui.optSendRange) || chosen(namedOption(z_, "optClonePage")))
        return;
    for (const char* name : {"lblRangeFrom", "lblRangeTo", "txtRangeTo", "txtRangeFrom", "lblRangeType(0)",
                             "lblRangeType(1)", "lblNumber(0)", "lblNumber(1)"})
        if (auto* w = z_.ui.frmZELK->findChild<QWidget*>(QLatin1String(name)))
            w->setEnabled(false);
}

void Transmission::optSendEOL_Click()
{
    if (!z_.EventsSuppressed)
        z_.table.setText(slot::kSendMode, QStringLiteral("EOL"));
}

void Transmission::optSendManual_Click()
{
    if (!z_.EventsSuppressed)
        z_.table.setText(slot::kSendMode, QStringLiteral("Manual"));
}

void Transmission::optSendContinuous_Click()
{
    if (!z_.EventsSuppressed)
        z_.table.setText(slot::kSendMode, QStringLiteral("Cont"));
}

void Transmission::RestoreEditorPreferences()
{
    if (z_.EventsSuppressed)
        return;
    Ui& ui = z_.ui;
    // Set to the opposite, then the Insert key's own action flips it, shows it and stores it back.
    z_.OvertypeMode = z_.table.toInt(slot::kTypeMode) != 1;
    if (z_.editor)
        z_.editor->toggleTypeMode();

    if (ui.frmZELK)
        if (auto* search = ui.frmZELK->findChild<QLineEdit*>(QStringLiteral("txtSearchText")))
            search->setText(z_.table.text(slot::kSearchText));

    const QString mode = z_.table.text(slot::kSendMode);
    if (mode == QLatin1String("Manual"))
        choose(ui.optSendManual);
    else if (mode == QLatin1String("EOL"))
        choose(ui.optSendEOL);
    else if (mode == QLatin1String("Cont"))
        choose(ui.optSendContinuous);

    QList<QLineEdit*> white(ui.txtMain.begin() + 1, ui.txtMain.end());
    white << ui.txtTimeDisplay << ui.txtDateDisplay << ui.txtTimeDisplay2 << ui.txtDateDisplay2;
    for (QLineEdit* box : white) {
        if (!box)
            continue;
        QPalette pal = box->palette();
        pal.setColor(QPalette::Base, Qt::white);
        box->setPalette(pal);
    }
}
