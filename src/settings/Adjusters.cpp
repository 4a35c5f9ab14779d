#include "Adjusters.h"

#include "core/Errors.h"
#include "app/Zelk.h"
#include "link/CommandProtocol.h"
#include "settings/DisplaySettings.h"
#include "settings/FormatPatterns.h"
#include "settings/NumberLabel.h"
#include "settings/UpDown.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>

namespace {

constexpr int kRepeatMs = 150; // auto-repeat of a held spinner

struct FieldSpec
{
    NumberLabel* Ui::*label;
    UpDown* Ui::*spinner;
    const char* labelName;
    const char* spinnerName;
    const char* initialCaption;
    int k;
    const QString* code;
    int digits;
    adjust::Range change; // what the change handling accepts (the vertical position's comes from its size)
    adjust::Range step;   // what the spinner wraps within (formats: when not restricted)
};

const FieldSpec& spec(Adjusters::Field f)
{
    // clang-format off
    static const FieldSpec specs[] = {
        {&Ui::lblVPos, &Ui::updVPos, "lblVPos", "updVPos", "00", slot::kVPos, &code::kVPosition, 2, {}, {}},
        {&Ui::lblHPos, &Ui::updHPos, "lblHPos", "updHPos", "00", slot::kHPos, &code::kHPosition, 2, {1, 64}, {6, 64}},
        {&Ui::lblTimePos, &Ui::updTimePos, "lblTimePos", "updTimePos", "000", slot::kTimePos, &code::kTimePosition,
         3, {1, 180}, {1, 180}},
        {&Ui::lblDatePos, &Ui::updDatePos, "lblDatePos", "updDatePos", "000", slot::kDatePos, &code::kDatePosition,
         3, {1, 180}, {1, 180}},
        {&Ui::lblTimeFormat, &Ui::updTimeFormat, "lblTimeFormat", "updTimeFormat", "00", slot::kTimeFormat,
         &code::kTimeFormat, 2, {1, 36}, {1, 36}},
        {&Ui::lblDateFormat, &Ui::updDateFormat, "lblDateFormat", "updDateFormat", "00", slot::kDateFormat,
         &code::kDateFormat, 2, {1, 60}, {1, 60}},
    };
    // clang-format on
    return specs[f];
}

// The format spinners of a broadcast page or an old titler offer only what those titlers take.
constexpr adjust::Range kRestrictedTimeFormats{2, 3};
constexpr adjust::Range kRestrictedDateFormats{15, 15};

bool altOnly(Qt::KeyboardModifiers m)
{
    return (m & Qt::AltModifier) && !(m & (Qt::ShiftModifier | Qt::ControlModifier));
}

QString arrowDirection(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return QStringLiteral("left");
    case Qt::Key_Right:
        return QStringLiteral("right");
    case Qt::Key_Up:
        return QStringLiteral("up");
    case Qt::Key_Down:
        return QStringLiteral("down");
    default:
        return {};
    }
}

} // namespace

Adjusters::Adjusters(Zelk& z) : z_(z)
{
    z_.adjusters = this;
}

Adjusters::~Adjusters()
{
    if (qApp)
        qApp->removeEventFilter(this);
    if (z_.adjusters == this)
        z_.adjusters = nullptr;
}

NumberLabel* Adjusters::label(Field f) const
{
    return z_.ui.*spec(f).label;
}

UpDown* Adjusters::spinner(Field f) const
{
    return z_.ui.*spec(f).spinner;
}

QWidget* Adjusters::buildField(Field f, QWidget* parent)
{
    const FieldSpec& s = spec(f);
    auto* box = new QWidget(parent);
    auto* l = new NumberLabel(QLatin1String(s.initialCaption), box);
    l->setObjectName(QLatin1String(s.labelName));
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setAutoFillBackground(true);
    l->setBackgroundRole(QPalette::Base);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 8);
    z_.ui.*s.label = l;

    auto* u = new UpDown(box);
    u->setObjectName(QLatin1String(s.spinnerName));
    z_.ui.*s.spinner = u;
    l->setFixedHeight(u->sizeHint().height());

    auto* row = new QHBoxLayout(box);
    row->addWidget(l);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    row->addWidget(u);
    connect(l, &NumberLabel::changed, this, [this, f] { labelChanged(f); });
    connect(u, &UpDown::mouseDown, this, [this, f](int y) { spinner_MouseDown(f, y); });
    connect(u, &UpDown::mouseUp, this, &Adjusters::spinner_MouseUp);
    return box;
}

QLabel* Adjusters::buildTimeFormatExample(QWidget* parent)
{
    z_.ui.lblTimeFormatEx = new QLabel(parent);
    z_.ui.lblTimeFormatEx->setObjectName(QStringLiteral("lblTimeFormatEx"));
    return z_.ui.lblTimeFormatEx;
}

QLabel* Adjusters::buildDateFormatExample(QWidget* parent)
{
    z_.ui.lblDateFormatEx = new QLabel(parent);
    z_.ui.lblDateFormatEx->setObjectName(QStringLiteral("lblDateFormatEx"));
    return z_.ui.lblDateFormatEx;
}

void Adjusters::watchWindowKeys()
{
    // Key events go to the control with the focus; the window sees them first only through the application.
    qApp->removeEventFilter(this);
    qApp->installEventFilter(this);
}

// ---- change handling ----------------------------------------------------------------------------------------------

void Adjusters::lblVPos_Change()
{
    labelChanged(VPos);
}

void Adjusters::lblHPos_Change()
{
    labelChanged(HPos);
}

void Adjusters::lblTimePos_Change()
{
    labelChanged(TimePos);
}

void Adjusters::lblDatePos_Change()
{
    labelChanged(DatePos);
}

void Adjusters::lblTimeFormat_Change()
{
    labelChanged(TimeFormat);
}

void Adjusters::lblDateFormat_Change()
{
    labelChanged(DateFormat);
}

adjust::Range Adjusters::VPosRange() const
{
    auto checked = [](const QRadioButton* o) { return o && o->isChecked(); };
    adjust::VSize size = adjust::VSize::None;
    if (checked(z_.ui.optVSize1x) || checked(z_.ui.optVSize2x) || checked(z_.ui.optVSize3x) ||
        checked(z_.ui.optVSize4x))
        size = adjust::VSize::Normal;
    else if (checked(z_.ui.optVSize1s))
        size = adjust::VSize::Small1s;
    else if (checked(z_.ui.optVSize2s))
        size = adjust::VSize::Small2s;
    return adjust::vPosRangeFor(z_.OldFirmwareTitler, size);
}

adjust::Range Adjusters::changeRange(Field f) const
{
    if (f != VPos)
        return spec(f).change;
    // A page being loaded sets its position before its size: clamp by the page's own size, not by the size of the
    // page shown before, or loading the page would cut its stored position.
    if (z_.PageRefreshing) {
        if (const auto size = adjust::vSizeOfCode(z_.table.text(z_.pageSlot(slot::kVSizeCode))))
            return adjust::vPosRangeFor(z_.OldFirmwareTitler, *size);
    }
    return VPosRange();
}

bool Adjusters::formatsRestricted() const
{
    return z_.OldFirmwareTitler || (z_.ui.txtAddress && z_.ui.txtAddress->text() == code::kBroadcast);
}

adjust::Range Adjusters::stepRange(Field f) const
{
    switch (f) {
    case VPos:
        return VPosRange();
    case TimeFormat:
        return formatsRestricted() ? kRestrictedTimeFormats : spec(f).step;
    case DateFormat:
        return formatsRestricted() ? kRestrictedDateFormats : spec(f).step;
    default:
        return spec(f).step;
    }
}

void Adjusters::storeOnly(int k, const QString& value)
{
    if (z_.displaySettings)
        z_.displaySettings->storeSetting(k, value);
}

void Adjusters::labelChanged(Field f)
{
    if (z_.EventsSuppressed || (f == VPos && z_.SettingsLoading))
        return;
    NumberLabel* l = label(f);
    if (!l)
        return;
    try {
        const FieldSpec& s = spec(f);
        const adjust::Range r = changeRange(f);
        QString value = l->text();
        const QString formatted = FormatParameter(value, qint16(r.max), qint16(r.min), QString::number(s.digits));
        if (formatted != l->text()) {
            l->setText(formatted); // its change handling stores and sends the corrected number
            return;
        }
        const QString text = l->text();
        DisplaySettings* settings = z_.displaySettings;
        switch (f) {
        case TimeFormat:
            if (z_.ui.optTimeOn && z_.ui.optTimeOn->isChecked()) {
                if (settings)
                    settings->ApplyPageSetting(s.k, text, *s.code);
            } else {
                storeOnly(s.k, text);
            }
            z_.ClockReadFailed = true;
            if (z_.ui.lblTimeFormatEx)
                z_.ui.lblTimeFormatEx->setText(formats::timeFormatExample(text));
            break;
        case DateFormat:
            if (z_.ui.optDateOn && z_.ui.optDateOn->isChecked()) {
                if (settings)
                    settings->ApplyPageSetting(s.k, text, *s.code);
            } else {
                storeOnly(s.k, text);
            }
            z_.ClockReadFailed = true;
            if (z_.ui.lblDateFormatEx)
                z_.ui.lblDateFormatEx->setText(formats::dateFormatExample(text));
            break;
        default:
            if (settings)
                settings->ApplyPageSetting(s.k, text, *s.code);
            break;
        }
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

// ---- spinners -----------------------------------------------------------------------------------------------------

void Adjusters::spinner_MouseDown(Field f, int y)
{
    // One spinner at a time: a second press while one is held must not start a loop inside the loop.
    if (z_.EventsSuppressed || z_.SpinnerHeld)
        return;
    QPointer<UpDown> u = spinner(f);
    QPointer<NumberLabel> l = label(f);
    if (!u || !l)
        return;
    z_.SpinnerHeld = true;
    const int half = qRound(u->height() / 2.0);
    const adjust::Range vertical = VPosRange(); // taken once, at the press
    const QString direction = y < half ? adjust::kAdd : adjust::kSubtract;
    const int digits = spec(f).digits;
    // A spinner that disappears or is disabled never sees its release: stop then, too.
    while (z_.SpinnerHeld && !z_.EventsSuppressed && u && l && u->isVisible() && u->isEnabled()) {
        const adjust::Range r = f == VPos ? vertical : stepRange(f);
        try {
            l->setText(StepParameter(l->text(), r.max, r.min, digits, direction));
        } catch (const RunTimeError& e) {
            z_.RecordError(e.number, e.source);
            break;
        }
        waitWhileHeld(kRepeatMs);
    }
    z_.SpinnerHeld = false;
}

void Adjusters::spinner_MouseUp()
{
    z_.SpinnerHeld = false;
}

void Adjusters::waitWhileHeld(int ms)
{
    // The window keeps working during the pause; the release ends it at once.
    QElapsedTimer t;
    t.start();
    while (z_.SpinnerHeld && !z_.EventsSuppressed) {
        QCoreApplication::processEvents();
        const qint64 left = ms - t.elapsed();
        if (left <= 0)
            break;
        QThread::msleep(ulong(qMin<qint64>(left, 5)));
    }
}

// ---- keyboard -----------------------------------------------------------------------------------------------------

void Adjusters::movePosition(Field f, const QString& direction)
{
    if (z_.EventsSuppressed)
        return;
    NumberLabel* l = label(f);
    if (!l)
        return;
    try {
        const int v = l->text().isEmpty() ? 0 : toInteger16(l->text(), QStringLiteral("MovePosition"));
        l->setText(QString::number(adjust::movedCell(v, direction)).rightJustified(3, QLatin1Char('0')));
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void Adjusters::MoveTimePos(const QString& direction)
{
    movePosition(TimePos, direction);
}

void Adjusters::MoveDatePos(const QString& direction)
{
    if (z_.EventsSuppressed)
        return;
    movePosition(DatePos, direction);
    if (z_.protocol && z_.ui.lblDatePos)
        z_.protocol->SendCommand(QString(), code::kDatePosition, z_.ui.lblDatePos->text());
}

void Adjusters::SendPositionCommand(const QString& c, const QString& vertical, const QString& horizontal)
{
    if (!z_.protocol)
        return;
    if (c == code::kVPosition)
        z_.protocol->SendCommand(QString(), c, vertical);
    else if (c == code::kHPosition)
        z_.protocol->SendCommand(QString(), c, horizontal);
}

bool Adjusters::Form_KeyDown(int key, Qt::KeyboardModifiers shift)
{
    if (z_.EventsSuppressed || !altOnly(shift))
        return false;
    const QString arrow = arrowDirection(key);
    if (z_.TimePosKeyMode || z_.DatePosKeyMode) {
        if (!arrow.isEmpty()) {
            if (z_.TimePosKeyMode)
                MoveTimePos(arrow);
            if (z_.DatePosKeyMode)
                MoveDatePos(arrow);
        }
        // T and D repeat while held; they and S must not reach the control with the focus as text.
        return !arrow.isEmpty() || key == Qt::Key_T || key == Qt::Key_D || key == Qt::Key_S;
    }
    try {
        switch (key) {
        case Qt::Key_T:
            z_.TimePosKeyMode = true;
            return true;
        case Qt::Key_D:
            z_.DatePosKeyMode = true;
            return true;
        case Qt::Key_Right:
        case Qt::Key_Left:
            if (NumberLabel* l = z_.ui.lblHPos) {
                const adjust::Range r = spec(HPos).step;
                l->setText(
                    StepParameter(l->text(), r.max, r.min, 2, key == Qt::Key_Right ? adjust::kAdd : adjust::kSubtract));
                SendPositionCommand(code::kHPosition, QString(), l->text());
            }
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (NumberLabel* l = z_.ui.lblVPos) {
                const adjust::Range r = VPosRange();
                // Up moves the text up the screen, to a smaller position.
                l->setText(
                    StepParameter(l->text(), r.max, r.min, 2, key == Qt::Key_Down ? adjust::kAdd : adjust::kSubtract));
                SendPositionCommand(code::kVPosition, l->text(), QString());
            }
            return true;
        case Qt::Key_S:
            if (z_.ui.cmdSend)
                z_.ui.cmdSend->click();
            return true;
        default:
            return false;
        }
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
        return true;
    }
}

bool Adjusters::Form_KeyUp(int key, Qt::KeyboardModifiers shift, bool autoRepeat)
{
    if (z_.EventsSuppressed || !altOnly(shift))
        return false;
    if (key != Qt::Key_T && key != Qt::Key_D)
        return false;
    // A held key repeats as release and press pairs: only the real release ends the mode.
    if (!autoRepeat) {
        if (key == Qt::Key_T)
            z_.TimePosKeyMode = false;
        else
            z_.DatePosKeyMode = false;
    }
    return true;
}

bool Adjusters::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWidgetType() || !z_.ui.frmZELK)
        return false;
    if (static_cast<QWidget*>(watched)->window() != z_.ui.frmZELK)
        return false;
    const auto* k = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyPress)
        return Form_KeyDown(k->key(), k->modifiers());
    return Form_KeyUp(k->key(), k->modifiers(), k->isAutoRepeat());
}
