#pragma once
// The live clock and calendar over the editor grid: on each clock tick the titler's time and date are asked for
// (within the read limits), formatted with the page's formats and laid over the editor lines at the time and date
// positions, exactly where and as the titler shows them; the pattern itself while no reading is at hand.

#include "settings/FormatPatterns.h"
#include "settings/TitlerClock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QLabel;
class QLineEdit;
class Zelk;

class ClockPreview : public QObject
{
    Q_OBJECT
public:
    explicit ClockPreview(Zelk& z);
    ~ClockPreview() override;

    // One clock tick each.
    void UpdateTimePreview();
    void UpdateDatePreview();
    // Lay a text over the grid at the time (date) position; what runs past the end of a row continues on the next.
    void ShowTimePreview(const QString& text);
    void ShowDatePreview(const QString& text);
    // Lays the texts shown last again (the editor lines moved, or a box was just shown).
    void placeAgain();

    // Read limits, in ticks between two questions.
    static constexpr int kLiveReadLimit = 1;
    static constexpr int kSlowReadLimit = 10;
    // No question goes out this soon after a key or a click: what they send must not wait for its answer.
    static constexpr int kInputQuietMs = 50;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Memory
    {
        QString reading; // "hh:mm:ss" or "mm/dd/yy" as last read; empty when the read failed
        int counter = 0;
        QString number; // the format number the pattern was built for
        bool builtReadable = false;
        QString pattern;
        bool tenths = false;
        formats::TenthsDigit digit;
        QString shown;
    };

    // Whether a question may go on the line now.
    bool mayAsk() const;
    // One tick of a read counter: the question when it is due (and not giving way to the other), else the count.
    void askOrCount(Memory& m, int limit, TitlerClock::Question q, bool giveWay = false);
    bool workingOffline() const;
    int selectedTab() const;
    void show(QLineEdit* first, QLineEdit* second, const QLabel* position, const QString& text);
    void placeBox(QLineEdit* box, int row, int column, const QString& text);
    void hook();

    Zelk& z_;
    Memory time_;
    Memory date_;
    bool hooked_ = false;
    QElapsedTimer sinceInput_;
};
