#include "PageClearing.h"

#include "app/Shell.h"
#include "app/AsRunLog.h"
#include "app/Zelk.h"
#include "core/Errors.h"
#include "core/FlagGuard.h"
#include "link/CommandProtocol.h"
#include "link/LinkWatch.h"
#include "link/StatusLine.h"
#include "pages/LineEditor.h"
#include "pages/PageView.h"
#include "transmit/Transmission.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <optional>

namespace {

const QString kStop = QStringLiteral("Stop");
const QString kClearPxt = QStringLiteral("Clear PXT");

bool chosen(const QRadioButton* o)
{
    return o && o->isChecked();
}

void choose(QRadioButton* o)
{
    if (o)
        o->setChecked(true);
}

void unchoose(QRadioButton* o)
{
    o->setAutoExclusive(false); // a lone chosen option cannot otherwise be un-chosen
    o->setChecked(false);
    o->setAutoExclusive(true);
}

} // namespace

PageClearing::PageClearing(Zelk& z) : z_(z)
{
    z_.clearing = this;
}

QWidget* PageClearing::buildPanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("clearClonePanel"));
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(buildClearPxt(panel));
    column->addWidget(buildClearEditor(panel));
    column->addWidget(buildClone(panel));
    return panel;
}

namespace {

struct GroupBuilder
{
    QGroupBox* frame;
    QGridLayout* grid;

    GroupBuilder(QWidget* parent, const char* name, const QString& caption)
    {
        frame = new QGroupBox(caption, parent);
        frame->setObjectName(QLatin1String(name));
        grid = new QGridLayout(frame);
        grid->setContentsMargins(6, 2, 6, 2);
        grid->setHorizontalSpacing(4);
        grid->setVerticalSpacing(0);
    }
    QRadioButton* option(const char* name, const QString& caption, int row, int column)
    {
        auto* o = new QRadioButton(caption, frame);
        o->setObjectName(QLatin1String(name));
        grid->addWidget(o, row, column);
        return o;
    }
    QPushButton* button(const char* name, const QString& caption, int column, int rows)
    {
        auto* b = new QPushButton(caption, frame);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        grid->addWidget(b, 0, column, rows, 1);
        return b;
    }
};

} // namespace

void PageClearing::onChosen(QRadioButton* option, void (PageClearing::*handler)())
{
    // An option acts when it becomes chosen, by the operator or by a routine.
    connect(option, &QRadioButton::toggled, this, [this, handler](bool on) {
        if (on)
            (this->*handler)();
    });
}

QGroupBox* PageClearing::buildClearGroup(QWidget* parent, const ClearGroup& names, QRadioButton** options[4],
                                         QPushButton*& button, void (PageClearing::*rangeClick)(),
                                         void (PageClearing::*buttonClick)())
{
    GroupBuilder g(parent, names.frame, QLatin1String(names.caption));
    const char* const captions[] = {"Current", "All", "Selected", "Range"};
    for (int i = 0; i < 4; ++i)
        *options[i] = g.option(names.options[i], QLatin1String(captions[i]), i / 2, i % 2);
    (*options[0])->setChecked(true); // the window opens with it; no click for that
    for (int i = 0; i < 4; ++i)
        onChosen(*options[i], i == 3 ? rangeClick : &PageClearing::optClearOther_Click);
    button = g.button(names.button, QLatin1String(names.caption), 2, 2);
    connect(button, &QPushButton::clicked, this, [this, buttonClick] { (this->*buttonClick)(); });
    return g.frame;
}

QGroupBox* PageClearing::buildClearPxt(QWidget* parent)
{
    const ClearGroup names{"fraClearPxt",
                           "Clear PXT",
                           {"optClearCurPxt", "optClearAllPxt", "optClearSelPxt", "optClearRangePxt"},
                           "cmdClearPxt"};
    QRadioButton** options[] = {&optClearCurPxt_, &optClearAllPxt_, &optClearSelPxt_, &optClearRangePxt_};
    return buildClearGroup(parent, names, options, z_.ui.cmdClearPxt, &PageClearing::optClearRangePxt_Click,
                           &PageClearing::cmdClearPxt_Click);
}

QGroupBox* PageClearing::buildClearEditor(QWidget* parent)
{
    const ClearGroup names{"fraClearEditor",
                           "Clear Editor",
                           {"optClearCurEditor", "optClearAllEditors", "optClearSelEditors", "optClearRangeEditors"},
                           "cmdClearEditor"};
    QRadioButton** options[] = {&optClearCurEditor_, &optClearAllEditors_, &optClearSelEditors_,
                                &optClearRangeEditors_};
    return buildClearGroup(parent, names, options, cmdClearEditor_, &PageClearing::optClearRangeEditors_Click,
                           &PageClearing::cmdClearEditor_Click);
}

QGroupBox* PageClearing::buildClone(QWidget* parent)
{
    GroupBuilder g(parent, "Frame1", QStringLiteral("Clone"));
    optClonePage_ = g.option("optClonePage", QStringLiteral("Range"), 0, 0);
    cmdClonePage_ = g.button("cmdClonePage", QStringLiteral("Clone"), 1, 1);
    cmdClonePageSend_ = g.button("cmdClonePageSend", QStringLiteral("Clone && Send"), 2, 1);
    setCloneButtons(false, false);

    onChosen(optClonePage_, &PageClearing::optClonePage_Click);
    connect(cmdClonePage_, &QPushButton::clicked, this, [this] { cmdClonePage_Click(); });
    connect(cmdClonePageSend_, &QPushButton::clicked, this, [this] { cmdClonePageSend_Click(); });
    return g.frame;
}

void PageClearing::attachRangeBoxes()
{
    for (QLineEdit* box : {z_.ui.txtRangeFrom, z_.ui.txtRangeTo})
        if (box) {
            box->installEventFilter(this);
            box->setContextMenuPolicy(Qt::NoContextMenu); // its paste would bypass the digit filter
        }
}

void PageClearing::setCloneButtons(bool sendToo, bool cloneToo)
{
    cmdClonePage_->setEnabled(cloneToo);
    cmdClonePageSend_->setEnabled(sendToo);
}

void PageClearing::showStatus(int code)
{
    if (z_.status)
        z_.status->ShowStatus(code);
}

// Option clicks

void PageClearing::optClearOther_Click()
{
    if (z_.EventsSuppressed)
        return;
    if (z_.transmission)
        z_.transmission->DisableRangeIfUnused();
    showStatus(20);
}

void PageClearing::takeRangeBoxes(const QRadioButton* owner, const QString& mode)
{
    // The boxes serve one group at a time: the others go back to "Current".
    if (owner != z_.ui.optSendRange && chosen(z_.ui.optSendRange))
        choose(z_.ui.optSendCur);
    if (owner != optClearRangePxt_ && chosen(optClearRangePxt_))
        choose(optClearCurPxt_);
    if (owner != optClearRangeEditors_ && chosen(optClearRangeEditors_))
        choose(optClearCurEditor_);
    if (owner != optClonePage_ && chosen(optClonePage_)) {
        unchoose(optClonePage_);
        setCloneButtons(false, false);
    }
    if (owner == optClonePage_)
        setCloneButtons(z_.LastStatus != 8, true); // 8: the link is offline
    if (z_.transmission)
        z_.transmission->SetRangeMode(mode);
}

void PageClearing::optClearRangeEditors_Click()
{
    if (z_.EventsSuppressed)
        return;
    takeRangeBoxes(optClearRangeEditors_, QStringLiteral("ClearPage"));
    showStatus(20);
}

void PageClearing::optClearRangePxt_Click()
{
    if (z_.EventsSuppressed)
        return;
    takeRangeBoxes(optClearRangePxt_, QStringLiteral("ClearAddress"));
    showStatus(20);
}

void PageClearing::optClonePage_Click()
{
    if (z_.EventsSuppressed)
        return;
    takeRangeBoxes(optClonePage_, QStringLiteral("ClonePage"));
}

void PageClearing::clickClonePage()
{
    if (z_.EventsSuppressed || !optClonePage_)
        return;
    if (optClonePage_->isChecked())
        optClonePage_Click();
    else
        optClonePage_->setChecked(true); // its click handling follows the selection
}

// Range boxes

bool PageClearing::txtRange_KeyPress(QLineEdit* box, QKeyEvent* key)
{
    if (z_.EventsSuppressed)
        return false;
    // Keys that type nothing (arrows, Tab, Delete) are not key presses of the box.
    const QString text = key->text();
    if (text.isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Delete)
        return false;
    const QChar c = text.at(0);
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
        if (!box->hasSelectedText() && box->cursorPosition() < box->text().size())
            box->setSelection(box->cursorPosition(), 1); // typed over
        return false;
    }
    return c != QChar(8);
}

void PageClearing::txtRange_LostFocus(QLineEdit* box)
{
    if (z_.EventsSuppressed || !z_.shell)
        return;
    const bool from = box == z_.ui.txtRangeFrom;
    int owner = -1;
    if (chosen(optClearRangePxt_))
        owner = from ? slot::kClearAddressFrom : slot::kClearAddressTo;
    else if (chosen(z_.ui.optSendRange))
        owner = from ? slot::kSendPageFrom : slot::kSendPageTo;
    else if (chosen(optClearRangeEditors_))
        owner = from ? slot::kClearPageFrom : slot::kClearPageTo;
    else if (chosen(optClonePage_))
        owner = from ? slot::kClonePageFrom : slot::kClonePageTo;
    if (owner < 0)
        return;
    QString value = box->text();
    box->setText(z_.shell->ValidateNumber(value, 99, 1, QStringLiteral("2"), owner, 101));
}

bool PageClearing::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && (box == z_.ui.txtRangeFrom || box == z_.ui.txtRangeTo)) {
        if (event->type() == QEvent::KeyPress)
            return txtRange_KeyPress(box, static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::FocusOut) {
            // Another window taking the focus (a message box, a menu) is not the operator leaving the box.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                txtRange_LostFocus(box);
        }
    }
    return QObject::eventFilter(watched, event);
}

int PageClearing::rangeValue(const QLineEdit* box, const QString& what) const
{
    return toInteger16(box ? box->text() : QString(), what);
}

// Clear PXT

void PageClearing::cmdClearPxt_Click()
{
    if (z_.EventsSuppressed || !z_.ui.cmdClearPxt)
        return;
    QPushButton* button = z_.ui.cmdClearPxt;
    const LinkWatch link(z_.LinkOnline);
    if (button->text() == kStop) {
        showStatus(4);
        z_.SendStopRequested = true; // the running clear ends before its next titler
        return;
    }
    // "Stop" before the status line yields: a second click meanwhile stops this clear instead of starting another.
    button->setText(kStop);
    showStatus(4);
    // A half-typed "5" in the address box means titler 05 before the scope is decided by the address.
    if (z_.protocol)
        z_.protocol->lineAddress(QString(), true);
    try {
        if (z_.ui.txtAddress && z_.ui.txtAddress->text() == code::kBroadcast) {
            sendClear(code::kBroadcast); // one clear reaches every titler
        } else if (chosen(optClearCurPxt_)) {
            ClearTitlers(QStringLiteral("Current"));
        } else {
            const QString scope = chosen(optClearSelPxt_)     ? QStringLiteral("Selected")
                                  : chosen(optClearRangePxt_) ? QStringLiteral("Range")
                                                              : QStringLiteral("All");
            FlagGuard skip(z_.SkipClearPause);
            ClearTitlers(scope);
        }
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
    if (z_.EventsSuppressed)
        return;
    z_.SkipClearPause = false;
    button->setText(kClearPxt);
    z_.SendStopRequested = false;
    if (z_.status)
        z_.status->showDone(5, link);
}

bool PageClearing::stopped(const LinkWatch& link) const
{
    return z_.SendStopRequested || z_.EventsSuppressed || link.lost();
}

void PageClearing::sendClear(const QString& address)
{
    QString target = address;
    if (z_.protocol && z_.protocol->SendCommand(target, code::kClear) && z_.asRun)
        z_.asRun->record(target, QStringLiteral("clear"));
}

void PageClearing::ClearTitlers(const QString& scope)
{
    if (z_.EventsSuppressed)
        return;
    const LinkWatch link(z_.LinkOnline);
    if (scope == QLatin1String("Current")) {
        if (z_.ui.txtAddress)
            sendClear(z_.ui.txtAddress->text());
    } else if (scope == QLatin1String("Selected")) {
        for (int p = 1; p <= slot::kPages; ++p) {
            if (stopped(link))
                return;
            if (z_.table.toInt(slot::page(p, slot::kSelected)) == 1)
                sendClear(z_.table.text(slot::page(p, slot::kAddress)));
            QCoreApplication::processEvents();
        }
        if (z_.ui.txtPageNumber)
            z_.ui.txtPageNumber->setText(QStringLiteral("1"));
        if (z_.pageView)
            z_.pageView->ShowPage();
    } else if (scope == QLatin1String("Range") || scope == QLatin1String("All")) {
        int from = 1, to = slot::kPages;
        if (scope == QLatin1String("Range")) {
            from = rangeValue(z_.ui.txtRangeFrom, QStringLiteral("ClearTitlers: range from"));
            to = rangeValue(z_.ui.txtRangeTo, QStringLiteral("ClearTitlers: range to"));
        }
        // Addresses outside 1..99 would only repeat the ends of the range.
        for (int a = std::max(from, 1); a <= std::min(to, slot::kPages); ++a) {
            if (stopped(link))
                return;
            sendClear(twoDigits(a));
            QCoreApplication::processEvents();
        }
    } else {
        return;
    }
    // What the titler at the address showed is gone.
    const auto a = parseDecimal(z_.ui.txtAddress ? z_.ui.txtAddress->text() : QString());
    if (a && *a >= 1 && *a <= 99 && *a == double(int(*a)))
        z_.table.setText(slot::titler(slot::kTitlerShownPageBlock, int(*a)), QString());
}

// Clear Editor

void PageClearing::cmdClearEditor_Click()
{
    if (z_.EventsSuppressed)
        return;
    try {
        FlagGuard loading(z_.EditorLoading);
        showStatus(6);
        const QString scope = chosen(optClearSelEditors_)     ? QStringLiteral("Selected")
                              : chosen(optClearRangeEditors_) ? QStringLiteral("Range")
                              : chosen(optClearAllEditors_)   ? QStringLiteral("All")
                                                              : QStringLiteral("Current");
        ClearEditors(scope);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
    showStatus(7);
}

void PageClearing::clearPageLines(int page, bool continuous)
{
    for (int n = 0; n < slot::kLines; ++n)
        z_.table.setText(slot::page(page, slot::kLine1 + n), QString());
    // Page 7 clears titler "07", whatever the page's own address.
    if (continuous)
        sendClear(twoDigits(page));
}

void PageClearing::ClearEditors(const QString& scope)
{
    if (z_.EventsSuppressed)
        return;
    const bool continuous = chosen(z_.ui.optSendContinuous);
    std::optional<FlagGuard> skip;
    if (continuous)
        skip.emplace(z_.SkipClearPause);
    if (scope == QLatin1String("Current")) {
        for (int n = 1; n <= slot::kLines; ++n)
            if (z_.editor)
                z_.editor->setLineText(n, QString()); // padded and stored, a longer text behind it too
        if (continuous && z_.ui.txtAddress)
            sendClear(z_.ui.txtAddress->text());
        return;
    }
    int from = 1, to = slot::kPages;
    if (scope == QLatin1String("Range")) {
        from = rangeValue(z_.ui.txtRangeFrom, QStringLiteral("ClearEditors: range from"));
        to = rangeValue(z_.ui.txtRangeTo, QStringLiteral("ClearEditors: range to"));
    } else if (scope != QLatin1String("All") && scope != QLatin1String("Selected")) {
        return;
    }
    const bool selectedOnly = scope == QLatin1String("Selected");
    // Only pages: numbers outside 1..99 would reach the program's own slots.
    for (int p = std::max(from, 1); p <= std::min(to, slot::kPages); ++p)
        if (!selectedOnly || z_.table.toInt(slot::page(p, slot::kSelected)) == 1)
            clearPageLines(p, continuous);
    if (z_.pageView)
        z_.pageView->ShowPage();
}

// Clone

void PageClearing::cmdClonePage_Click()
{
    if (z_.EventsSuppressed || !z_.ui.txtRangeFrom || !z_.ui.txtRangeTo)
        return;
    try {
        const QString fromText = z_.ui.txtRangeFrom->text(), toText = z_.ui.txtRangeTo->text();
        if (fromText.isEmpty() || toText.isEmpty() || parseDecimal(fromText).value_or(0) <= 0 ||
            parseDecimal(toText).value_or(0) <= 0)
            return;
        const int from = rangeValue(z_.ui.txtRangeFrom, QStringLiteral("cmdClonePage: range from"));
        const int to = rangeValue(z_.ui.txtRangeTo, QStringLiteral("cmdClonePage: range to"));
        for (int p = std::max(from, 1); p <= std::min(to, slot::kPages); ++p)
            for (int n = 0; n < slot::kLines; ++n)
                if (z_.table.toInt(z_.pageSlot(slot::kLineState1 + n)) == slot::kLineOn)
                    z_.table.set(slot::page(p, slot::kLine1 + n), z_.table.at(z_.pageSlot(slot::kLine1 + n)));
        showStatus(14);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void PageClearing::cmdClonePageSend_Click()
{
    if (z_.EventsSuppressed || cloneSending_)
        return;
    FlagGuard running(cloneSending_); // a second click while the pages go out would start a send inside this one
    const LinkWatch link(z_.LinkOnline);
    const QString shown = z_.ui.txtPageNumber ? z_.ui.txtPageNumber->text() : QString();
    cmdClonePage_Click();
    if (z_.transmission)
        z_.transmission->SendPages(QStringLiteral("Range"), QString());
    if (z_.EventsSuppressed)
        return;
    if (z_.ui.txtPageNumber)
        z_.ui.txtPageNumber->setText(shown);
    if (z_.pageView)
        z_.pageView->ShowPage();
    if (z_.status)
        z_.status->showDone(3, link);
}
