// What the monitor paints: nothing over the video while the display is off, the characters in their colour, and the
// background mat in the other colour.

#include "ScreenView.h"
#include "pxtsim/TitlerBus.h"

#include <QImage>
#include <QTest>

using namespace pxtsim;

class TestScreenView : public QObject
{
    Q_OBJECT

    // Titler 05 after the given frame bodies, painted; blocks in every other cell of row 5 show the
    // character colour, and the mat between them.
    static QImage paintedAfter(const QByteArrayList& bodies)
    {
        TitlerBus bus(*parseAddresses(QStringLiteral("5")), ReplyMode::Normal, 0);
        for (const QByteArray& body : bodies)
            bus.receive(kEsc + ("05" + body), 0);
        bus.receive(kEsc + QByteArray("0528081") + QByteArray("\x01 ").repeated(10), 0);
        bus.flush();
        ScreenView view;
        view.resize(640, 480);
        view.setPicture(screenPicture(bus.titler(5), 0));
        return view.grab().toImage();
    }

    // Light and dark pixels: the stand-in video lies between the two, so they are characters and mats.
    static std::pair<int, int> lightAndDark(const QImage& image)
    {
        int light = 0, dark = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2) {
                const int l = image.pixelColor(x, y).lightness();
                light += l > 200;
                dark += l < 40;
            }
        return {light, dark};
    }

private slots:
    void overlay()
    {
        const QList<std::tuple<QByteArrayList, bool, bool>> cases = {
            {{"07", "11", "10"}, true, false},       // white characters alone
            {{"07", "11", "09", "173"}, true, true}, // on a dark mat
            {{"07", "12", "10"}, false, true},       // black characters alone
            {{"07", "12", "09", "173"}, true, true}, // on a light mat
            {{"11", "09", "08"}, false, false},      // display off: the video alone
        };
        for (const auto& [bodies, light, dark] : cases) {
            const auto [lightPixels, darkPixels] = lightAndDark(paintedAfter(bodies));
            const QByteArray what = bodies.join(' ');
            QVERIFY2(light ? lightPixels > 500 : lightPixels == 0, what.constData());
            QVERIFY2(dark ? darkPixels > 500 : darkPixels == 0, what.constData());
        }
    }
};

QTEST_MAIN(TestScreenView)
#include "tst_screenview.moc"
