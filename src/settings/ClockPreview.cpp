#include "ClockPreview.h"

#include "app/Shell.h"
#include "app/Zelk.h"
#include "link/CommandProtocol.h"
#include "pages/EditorLine.h"
#include "settings/NumberLabel.h"
#include "settings/TitlerClock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace {

constexpr int kEditorTab = 1;
constexpr int kSetupTab = 2;
// QLineEdit keeps this many pixels between its contents rectangle and the text, on either side.
constexpr int kInnerMargin = 2;
const QString kNoTime = QStringLiteral("00:00:00");
const QString kNoDate = QStringLiteral("00/00/00");

// The rectangle an editor line draws its text in, in its own coordinates.
QRect textArea(const QLineEdit* line)
{
    QStyleOptionFrame opt;
    opt.initFrom(line);
    opt.rect = line->rect();
    opt.lineWidth = line->hasFrame() ? line->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, line) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    return line->style()->subElementRect(QStyle::SE_LineEditContents, &opt, line);
}

} // namespace

ClockPreview::ClockPreview(Zelk& z) : z_(z)
{
    z_.clockPreview = this;
}

ClockPreview::~ClockPreview()
{
    // A question still out answers into this object.
    if (z_.titlerClock)
        z_.titlerClock->cancel();
    if (z_.clockPreview == this)
        z_.clockPreview = nullptr;
}

int ClockPreview::selectedTab() const
{
    return z_.shell ? z_.shell->selectedTab() : 1;
}

bool ClockPreview::workingOffline() const
{
    return z_.ui.optWorkOffline && z_.ui.optWorkOffline->isChecked();
}

bool ClockPreview::mayAsk() const
{
    // A send owns the line: the clock is not asked in its yields, nor while a page reload keeps commands back, a
    // spinner steps, or a key or click is still being handled (its handler may yield to this very tick).
    const bool sending = z_.ui.cmdSend && z_.ui.cmdSend->text() == QLatin1String("Stop");
    const bool input = sinceInput_.isValid() && sinceInput_.elapsed() < kInputQuietMs;
    return z_.titlerClock && !z_.titlerClock->questionOut() && !z_.TransmissionActive && !z_.PageRefreshing &&
           !z_.SpinnerHeld && !sending && !input;
}

void ClockPreview::askOrCount(Memory& m, int limit, TitlerClock::Question q, bool giveWay)
{
    // The counter waits at its limit while no question may go out, so the question goes at the first tick that may.
    if (m.counter >= limit && !giveWay && !workingOffline() && mayAsk() &&
        z_.titlerClock->ask(q, [&m](const QString& reading) { m.reading = reading; }))
        m.counter = 0;
    else
        m.counter = std::min(m.counter + 1, limit);
}

void ClockPreview::UpdateTimePreview()
{
    if (z_.EventsSuppressed)
        return;
    hook();
    const bool setupTab = selectedTab() == kSetupTab;
    const int limit = setupTab || z_.ClockReadFailed ? kSlowReadLimit : kLiveReadLimit;
    // One question at a time: when the date is due on this tick it goes first and the time waits one tick, or the
    // time asked every second tick would hold the date back to every twelfth.
    const bool dateDue = selectedTab() == kEditorTab && date_.counter >= kSlowReadLimit;
    askOrCount(time_, limit, TitlerClock::Question::Time, dateDue);

    if (time_.reading.isEmpty() || time_.reading == kNoTime)
        z_.ClockReadFailed = true;

    // The pattern is kept while nothing it depends on changes: the number, the tenths it carries, and whether a
    // reading is at hand (the readable form is no pattern to format a time with).
    const QString number = z_.ui.lblTimeFormat ? z_.ui.lblTimeFormat->text() : QString();
    if (number != time_.number || time_.tenths || time_.builtReadable != z_.ClockReadFailed) {
        const auto built = formats::TimePattern(formats::formatNumber(number).value_or(0), z_.ClockReadFailed,
                                                time_.reading, time_.digit);
        time_.number = number;
        time_.builtReadable = z_.ClockReadFailed;
        time_.pattern = built.pattern;
        time_.tenths = built.tenths;
    }

    if (time_.pattern.startsWith(formats::kDownCounterMark)) {
        ShowTimePreview(time_.pattern.mid(1)); // a count goes on on every tab, shown or not
        return;
    }
    if (setupTab || !z_.ui.optTimeOn || !z_.ui.optTimeOn->isChecked())
        return;
    ShowTimePreview(z_.ClockReadFailed ? time_.pattern : formats::formatTime(time_.reading, time_.pattern));
}

void ClockPreview::UpdateDatePreview()
{
    if (z_.EventsSuppressed)
        return;
    hook();
    askOrCount(date_, kSlowReadLimit, TitlerClock::Question::Date);

    if (date_.reading.isEmpty() || date_.reading == kNoDate)
        z_.ClockReadFailed = true;

    const QString number = z_.ui.lblDateFormat ? z_.ui.lblDateFormat->text() : QString();
    if (number != date_.number) {
        date_.number = number;
        date_.pattern = formats::DatePattern(formats::formatNumber(number).value_or(0));
    }

    if (selectedTab() == kSetupTab || !z_.ui.optDateOn || !z_.ui.optDateOn->isChecked())
        return;
    ShowDatePreview(z_.ClockReadFailed
                        ? date_.pattern
                        : formats::formatDate(date_.reading, date_.pattern, z_.clock.now().date().year()));
}

void ClockPreview::ShowTimePreview(const QString& text)
{
    time_.shown = text;
    show(z_.ui.txtTimeDisplay, z_.ui.txtTimeDisplay2, z_.ui.lblTimePos, text);
}

void ClockPreview::ShowDatePreview(const QString& text)
{
    date_.shown = text;
    show(z_.ui.txtDateDisplay, z_.ui.txtDateDisplay2, z_.ui.lblDatePos, text);
}

void ClockPreview::placeAgain()
{
    if (z_.EventsSuppressed)
        return;
    show(z_.ui.txtTimeDisplay, z_.ui.txtTimeDisplay2, z_.ui.lblTimePos, time_.shown);
    show(z_.ui.txtDateDisplay, z_.ui.txtDateDisplay2, z_.ui.lblDatePos, date_.shown);
}

void ClockPreview::show(QLineEdit* first, QLineEdit* second, const QLabel* position, const QString& text)
{
    if (!first || !second || !position)
        return;
    const int p = formats::formatNumber(position->text()).value_or(1);
    const formats::PreviewPlace place = formats::previewPlace(p, int(text.size()));
    placeBox(first, place.row, place.column, text.left(place.firstLength));
    if (place.nextRow == 0) {
        second->hide();
        placeBox(second, 1, 0, QString()); // shown again with its pair, it must show nothing
        return;
    }
    placeBox(second, place.nextRow, 0, text.right(place.nextLength));
    // The continuation goes with the box it continues: never a tail without its head.
    second->setVisible(!first->isHidden());
    if (second->isVisible())
        second->raise();
}

void ClockPreview::placeBox(QLineEdit* box, int row, int column, const QString& text)
{
    const auto* line = qobject_cast<const EditorLine*>(z_.ui.txtMain[std::size_t(row)]);
    QWidget* holder = box->parentWidget();
    if (box->text() != text) {
        box->setText(text);
        box->setCursorPosition(0); // a box never scrolls its text away from the cell it stands on
    }
    if (!line || !holder)
        return;
    if (box->font() != line->font())
        box->setFont(line->font());
    // Exactly over the cells it covers: its text starts on the box's edge (see hook), so no margin of the box hides
    // a neighbouring character.
    const QRect area = textArea(line);
    QWidget* window = line->window();
    const QPoint at = holder->mapFrom(window, line->mapTo(window, QPoint(line->columnX(column), area.top())));
    box->setGeometry(at.x(), at.y(), int(text.size()) * line->columnWidth(), area.height());
}

void ClockPreview::hook()
{
    if (hooked_)
        return;
    hooked_ = true;
    for (QLineEdit* box : {z_.ui.txtTimeDisplay, z_.ui.txtTimeDisplay2, z_.ui.txtDateDisplay, z_.ui.txtDateDisplay2})
        if (box) {
            box->setFocusPolicy(Qt::ClickFocus); // not a stop of the Tab key: it would hand the focus straight back
            box->setTextMargins(-kInnerMargin, 0, -kInnerMargin, 0); // the text starts on the box's left edge
        }
    // Keys and clicks wherever they go, the previews' focus and the editor lines' geometry.
    QCoreApplication::instance()->installEventFilter(this);
}

bool ClockPreview::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress) {
        sinceInput_.start();
    } else if (type == QEvent::FocusIn) {
        const bool preview = watched == z_.ui.txtTimeDisplay || watched == z_.ui.txtTimeDisplay2 ||
                             watched == z_.ui.txtDateDisplay || watched == z_.ui.txtDateDisplay2;
        // A preview never keeps the caret: it goes back to the line being edited.
        QLineEdit* current = z_.ui.txtMain[std::size_t(qBound(1, int(z_.CurrentLine), 9))];
        if (preview && current && current->isVisible() && !z_.EventsSuppressed)
            current->setFocus(Qt::OtherFocusReason);
    } else if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::FontChange ||
               type == QEvent::StyleChange) {
        // An editor line moved or changed its font: the clock follows its cells.
        const auto& lines = z_.ui.txtMain;
        if (std::find(lines.begin() + 1, lines.end(), watched) != lines.end())
            placeAgain();
    }
    return QObject::eventFilter(watched, event);
}
