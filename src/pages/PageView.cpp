#include "PageView.h"

#include "core/Errors.h"
#include "app/Shell.h"
#include "app/Zelk.h"
#include "link/CommandProtocol.h"
#include "core/Numbers.h"
#include "pages/LineEditor.h"
#include "settings/NumberLabel.h"
#include "transmit/AddressBox.h"
#include "transmit/Transmission.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

QString steppedPageText(PageStep s, int p)
{
    switch (s) {
    case PageStep::Next:
        return p == 99 ? QStringLiteral("1") : QString::number(p + 1);
    case PageStep::Prev:
        return p == 1 ? QStringLiteral("99") : QString::number(p - 1);
    case PageStep::Forward10:
        // From 90 on the box keeps only its last digit: 91 gives 1, 90 gives 0 (shown as page 1).
        return p < 90 ? QString::number(p + 10) : QString::number(p).right(1);
    case PageStep::Back10:
        return p <= 10 ? QString::number(p + 90) : QString::number(p - 10);
    case PageStep::First:
        return QStringLiteral("1");
    case PageStep::Last:
        return QStringLiteral("99");
    }
    return QString::number(p);
}

PageView::PageView(Zelk& z) : z_(z)
{
    z_.pageView = this;
}

QWidget* PageView::buildNavigation(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("pageNavigation"));
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(3);

    auto* caption = new QLabel(QStringLiteral("Current Text Page"), panel);
    caption->setObjectName(QStringLiteral("lblPageLabel"));
    auto* box = new QLineEdit(QStringLiteral("01"), panel);
    box->setObjectName(QStringLiteral("txtPageNumber"));
    box->setMaxLength(2);
    box->setAlignment(Qt::AlignCenter);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
    caption->setBuddy(box);
    z_.ui.txtPageNumber = box;
    box->installEventFilter(this);
    // Typed digits only: a page number written by a routine is not a typed one.
    connect(box, &QLineEdit::textEdited, this, [this] { txtPageNumber_Change(); });

    auto button = [&](const char* name, const QString& text) {
        auto* b = new QPushButton(text, panel);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* first = button("cmdFirstPage", QStringLiteral("|<--"));
    QPushButton* back10 = button("cmdPgScrollRev", QStringLiteral("-10 Pages"));
    QPushButton* prev = button("cmdPrevPage", QStringLiteral("Prev. Page"));
    QPushButton* next = button("cmdNextPage", QStringLiteral("Next Page"));
    QPushButton* fwd10 = button("cmdPgScrollFwd", QStringLiteral("+10 Pages"));
    QPushButton* last = button("cmdLastPage", QStringLiteral("-->|"));
    connect(first, &QPushButton::clicked, this, [this] { cmdFirstPage_Click(); });
    connect(prev, &QPushButton::clicked, this, [this] { cmdPrevPage_Click(); });
    connect(next, &QPushButton::clicked, this, [this] { cmdNextPage_Click(); });
    connect(last, &QPushButton::clicked, this, [this] { cmdLastPage_Click(); });
    // The ten-page buttons act on the press, once per press.
    connect(back10, &QPushButton::pressed, this, [this] { cmdPgScrollRev_MouseDown(); });
    connect(fwd10, &QPushButton::pressed, this, [this] { cmdPgScrollFwd_MouseDown(); });

    // Two rows: the box with the ten-page buttons, then the single steps between the ends.
    auto* top = new QHBoxLayout;
    top->setSpacing(3);
    top->addWidget(caption);
    top->addWidget(box);
    top->addStretch(1);
    grid->addLayout(top, 0, 0, 1, 2);
    grid->addWidget(back10, 0, 2);
    grid->addWidget(fwd10, 0, 3);
    grid->addWidget(first, 1, 0);
    grid->addWidget(prev, 1, 1);
    grid->addWidget(next, 1, 2);
    grid->addWidget(last, 1, 3);
    return panel;
}

QWidget* PageView::buildSelectedTick(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(3);
    auto* tick = new QCheckBox(panel);
    tick->setObjectName(QStringLiteral("chkPagSel"));
    auto* caption = new QLabel(QStringLiteral("Selected"), panel);
    caption->setObjectName(QStringLiteral("lblEnabled"));
    caption->setBuddy(tick);
    row->addWidget(tick);
    row->addWidget(caption);
    row->addStretch(1);
    z_.ui.chkPagSel = tick;
    // A check box's click fires on every change of its value, by the operator or by ShowPage.
    connect(tick, &QCheckBox::toggled, this, [this] { chkPagSel_Click(); });
    return panel;
}

void PageView::ShowPage()
{
    if (z_.EventsSuppressed)
        return;
    ++depth_;
    z_.PageRefreshing = true;
    z_.EditorLoading = true;
    try {
        loadPage();
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
    if (--depth_ == 0) {
        z_.EditorLoading = false;
        z_.PageRefreshing = false;
    }
}

void PageView::loadPage()
{
    Ui& ui = z_.ui;
    if (ui.txtPageNumber) {
        QString value = ui.txtPageNumber->text();
        QString shown;
        try {
            shown = FormatParameter(value, 99, 1, QStringLiteral("2"));
        } catch (const RunTimeError&) {
            // Not a page number: the page on view stays, and so does its number in the box.
            ui.txtPageNumber->setText(twoDigits(z_.currentPage()));
            throw RunTimeError{err::kTypeMismatch, QStringLiteral("ShowPage: page number \"%1\"").arg(value)};
        }
        ui.txtPageNumber->setText(shown);
        z_.CurrentPageBase = qint16(value.toInt() * 100);
    }
    // The page may change under our feet while events run below: every slot is read from the current base.
    auto slotText = [this](int k) { return z_.table.text(z_.pageSlot(k)); };

    const QString address = slotText(slot::kAddress);
    showAddress(address);
    // The format forcing below must follow the titler of this page on every tab, not only where the address box
    // handling runs; a broadcast page has no single titler to follow.
    if (z_.protocol && address != code::kBroadcast) {
        QString none, noParam;
        z_.OldFirmwareTitler = z_.protocol->FirmwareFilter(address, none, noParam);
    }
    yieldToEvents(z_);

    for (int n = 1; n <= slot::kLines; ++n)
        if (z_.editor)
            z_.editor->showLine(n, slotText(slot::kLine1 + n - 1));

    if (ui.txtAddress && ui.txtAddress->text() != slotText(slot::kAddress))
        ui.txtAddress->setText(slotText(slot::kAddress));

    for (int n = 1; n <= slot::kLines; ++n)
        setLineLabelState(ui.lblLineNum[std::size_t(n)], z_.table.toInt(z_.pageSlot(slot::kLineState1 + n - 1)));

    if (ui.chkPagSel)
        ui.chkPagSel->setChecked(z_.table.toInt(z_.pageSlot(slot::kSelected)) != 0);

    auto setCaption = [](NumberLabel* l, const QString& text) {
        if (l)
            l->setText(text);
    };
    setCaption(ui.lblVPos, slotText(slot::kVPos));
    setCaption(ui.lblHPos, slotText(slot::kHPos));
    setCaption(ui.lblTimePos, slotText(slot::kTimePos));
    setCaption(ui.lblDatePos, slotText(slot::kDatePos));

    // Old titlers know only time formats 02 and 03 and date format 15; the forced number stays in the page.
    auto keepFormat = [this](int k, const QString& value) {
        z_.table.setText(z_.pageSlot(k), value);
        z_.table.setText(z_.pageSlot(k + slot::kSettingsCopyOffset), value);
    };
    QString timeFormat = slotText(slot::kTimeFormat);
    if (z_.OldFirmwareTitler && (timeFormat > QLatin1String("03") || timeFormat < QLatin1String("02"))) {
        timeFormat = QStringLiteral("03");
        keepFormat(slot::kTimeFormat, timeFormat);
    }
    setCaption(ui.lblTimeFormat, timeFormat);
    QString dateFormat = slotText(slot::kDateFormat);
    if (z_.OldFirmwareTitler && parseDecimal(dateFormat).value_or(0) != 15) {
        dateFormat = QStringLiteral("15");
        keepFormat(slot::kDateFormat, dateFormat);
    }
    setCaption(ui.lblDateFormat, dateFormat);

    if (ui.optVSize2s)
        ui.optVSize2s->setEnabled(!z_.OldFirmwareTitler);

    selectOptions();

    Transmission* t = z_.transmission;
    const int tab = z_.shell ? z_.shell->selectedTab() : 1;
    const bool idle = !ui.cmdSend || ui.cmdSend->text() != QLatin1String("Stop");
    const bool enabled = z_.protocol && z_.protocol->IsTitlerEnabled(slotText(slot::kAddress));
    if (t && idle && (tab == 1 || tab == 2) && enabled) {
        if (ui.optTimeOn && ui.optTimeOn->isChecked())
            t->SetTimePreviewVisible(QStringLiteral("On"));
        if (ui.optDateOn && ui.optDateOn->isChecked())
            t->SetDatePreviewVisible(QStringLiteral("On"));
    }
}

void PageView::showAddress(const QString& address)
{
    if (z_.transmission) {
        z_.transmission->addressBox().showAddress(address);
    } else if (z_.ui.txtAddress) {
        z_.ui.txtAddress->setText(address);
    }
}

void PageView::selectOptions()
{
    Ui& ui = z_.ui;
    auto code = [this](int k) { return z_.table.text(z_.pageSlot(k)); };
    auto select = [](QRadioButton* o) {
        if (o)
            o->setChecked(true);
    };
    auto choose = [&](int k, const char* onCode, QRadioButton* on, QRadioButton* off) {
        const bool isOn = code(k) == QLatin1String(onCode);
        select(isOn ? on : off);
        return isOn;
    };
    choose(slot::kDisplayCode, "07", ui.optDisplayOn, ui.optDisplayOff);
    choose(slot::kBackgroundCode, "09", ui.optBackgroundOn, ui.optBackgroundOff);
    const bool timeOn = choose(slot::kTimeCode, "34", ui.optTimeOn, ui.optTimeOff);
    if (z_.transmission)
        z_.transmission->SetTimePreviewVisible(timeOn ? QStringLiteral("On") : QStringLiteral("Off"));
    const bool dateOn = choose(slot::kDateCode, "39", ui.optDateOn, ui.optDateOff);
    if (z_.transmission)
        z_.transmission->SetDatePreviewVisible(dateOn ? QStringLiteral("On") : QStringLiteral("Off"));
    choose(slot::kCharColourCode, "11", ui.optCharWhite, ui.optCharBlack);

    auto pick = [&](int k, std::initializer_list<std::pair<const char*, QRadioButton*>> table) {
        const QString c = code(k);
        for (const auto& [value, option] : table)
            if (c == QLatin1String(value)) {
                select(option);
                return;
            }
        // Any other code leaves the group as it was.
    };
    pick(slot::kContrastCode, {{"171", ui.optContrastLow}, {"172", ui.optContrastMed}, {"173", ui.optContrastHi}});
    pick(slot::kVSizeCode, {{"471", ui.optVSize1x},
                            {"472", ui.optVSize2x},
                            {"473", ui.optVSize3x},
                            {"474", ui.optVSize4x},
                            {"475", ui.optVSize1s},
                            {"476", z_.OldFirmwareTitler ? ui.optVSize1s : ui.optVSize2s}});
    pick(slot::kHSizeCode, {{"451", ui.optHSize1x}, {"452", ui.optHSize2x}, {"453", ui.optHSize3x}, {"454", ui.optHSize4x}});
}

void PageView::step(PageStep s)
{
    if (z_.EventsSuppressed || !z_.ui.txtPageNumber)
        return;
    try {
        QLineEdit* box = z_.ui.txtPageNumber;
        const qint16 p = toInteger16(box->text(), QStringLiteral("page buttons"));
        QString next = steppedPageText(s, p);
        // "100" does not fit the two-character box; it stands for the last page.
        if (next.size() > box->maxLength())
            next = FormatParameter(next, 99, 1, QStringLiteral("2"));
        box->setText(next);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
        return;
    }
    ShowPage();
}

void PageView::cmdPrevPage_Click()
{
    step(PageStep::Prev);
}

void PageView::cmdNextPage_Click()
{
    step(PageStep::Next);
}

void PageView::cmdPgScrollRev_MouseDown()
{
    step(PageStep::Back10);
}

void PageView::cmdPgScrollFwd_MouseDown()
{
    step(PageStep::Forward10);
}

void PageView::cmdFirstPage_Click()
{
    step(PageStep::First);
}

void PageView::cmdLastPage_Click()
{
    step(PageStep::Last);
}

void PageView::txtPageNumber_GotFocus()
{
    if (z_.EventsSuppressed)
        return;
    z_.SavedPageNumber = z_.ui.txtPageNumber->text();
    z_.ui.txtPageNumber->clear();
}

void PageView::txtPageNumber_Change()
{
    if (z_.EventsSuppressed)
        return;
    QLineEdit* box = z_.ui.txtPageNumber;
    if (box->cursorPosition() < 2)
        return; // one digit alone waits for the second or for leaving the box
    ShowPage();
    if (z_.ui.tabMain)
        z_.ui.tabMain->setFocus(Qt::OtherFocusReason);
    try {
        QString value = box->text();
        box->setText(FormatParameter(value, 99, 1, QStringLiteral("2")));
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void PageView::txtPageNumber_LostFocus()
{
    if (z_.EventsSuppressed)
        return;
    QLineEdit* box = z_.ui.txtPageNumber;
    if (box->text().size() == 1)
        box->setText(QLatin1Char('0') + box->text());
    else if (box->text().isEmpty())
        box->setText(z_.SavedPageNumber);
    ShowPage();
}

void PageView::chkPagSel_Click()
{
    if (z_.EventsSuppressed || !z_.ui.chkPagSel)
        return;
    z_.table.setInt16(z_.pageSlot(slot::kSelected), z_.ui.chkPagSel->isChecked() ? 1 : 0);
}

bool PageView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == z_.ui.txtPageNumber && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        // Another window taking the focus (a message box, a menu) is not the operator leaving the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (event->type() == QEvent::FocusIn)
                txtPageNumber_GotFocus();
            else
                txtPageNumber_LostFocus();
        }
    }
    return QObject::eventFilter(watched, event);
}
