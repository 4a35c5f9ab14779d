#pragma once
// The window on the "Effects" tab with some titlers enabled and chosen for the effects, and the frames that reached
// the line read back as address, code and the rest.

#include "TestWindow.h"
#include "effects/Effects.h"
#include "effects/EffectsUi.h"
#include "effects/Sequencer.h"
#include "link/SerialLink.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

struct SentFrame
{
    QString address;
    QString code;
    QString rest;
};

// A raw frame without its ESC: two address digits, then the code (three digits for the 17x, 45x and 47x families).
inline SentFrame splitFrame(const QString& raw)
{
    const QString code = raw.mid(2, 2);
    const int digits = code == "17" || code == "45" || code == "47" ? 3 : 2;
    return {raw.left(2), raw.mid(2, digits), raw.mid(2 + digits)};
}

class EffectsFixture
{
public:
    explicit EffectsFixture(SerialPort& port) : w(port) {}

    // Online, titlers enabled, some of them chosen for the effects, and the "Effects" tab shown.
    bool start(const QList<int>& enabled, const QList<int>& chosen)
    {
        if (!w.startOnline())
            return false;
        for (int a : enabled)
            z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        for (int a : chosen)
            z.table.setBool(slot::titler(slot::kEffectTitlerBlock, a), true);
        z.link->FillTitlerLists();
        w.showTab(3);
        return z.ui.framain[3]->isVisible();
    }

    // Random over the titlers (enabled and chosen), with this text, a step every 750 ms and no off period.
    bool startRandom(const QList<int>& titlers, const QString& text)
    {
        if (!start(titlers, titlers))
            return false;
        ui.txtRandomText->setText(text);
        times("00", "01", "00", "00");
        return true;
    }

    void times(const char* onMin, const char* onSec, const char* offMin, const char* offSec)
    {
        ui.txtOnMin->setText(QLatin1String(onMin));
        ui.txtOnSec->setText(QLatin1String(onSec));
        ui.txtOffMin->setText(QLatin1String(offMin));
        ui.txtOffSec->setText(QLatin1String(offSec));
    }
    // Option and check boxes are clicked on their indicator: a wide box takes no click far right of its caption.
    void click(QAbstractButton* b)
    {
        const bool box = qobject_cast<QPushButton*>(b) == nullptr;
        QTest::mouseClick(b, Qt::LeftButton, {}, box ? QPoint(8, b->height() / 2) : b->rect().center());
    }
    bool anyTimerActive() const
    {
        for (QTimer* t : {z.ui.tmrOnMin, z.ui.tmrOnSec, z.ui.tmrOffMin, z.ui.tmrOffSec})
            if (t->isActive())
                return true;
        return false;
    }

    TestWindow w;
    Zelk& z = w.z;
    Effects& fx = *z.effects;
    EffectsUi& ui = fx.ui();
};
