// The line editor driven through the real window: typing, modes, moves, highlights, line labels, window keys.

#include "RecordingPort.h"
#include "TestWindow.h"

#include "pages/CharFilter.h"
#include "pages/EditorLine.h"
#include "pages/LineEditor.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTabBar>
#include <QtTest>

namespace {

using editor::kBlockSpace;

QString blank()
{
    return QString(editor::kWidth, QLatin1Char(' '));
}

struct Running
{
    RecordingPort port;
    TestWindow w{port};

    // The window started, the link on port 1 up and the page's titler enabled, focus in the window.
    bool start()
    {
        if (!w.start())
            return false;
        w.window->activateWindow();
        if (!QTest::qWaitForWindowActive(w.window.get()))
            return false;
        if (QTabBar* tabs = w.z.ui.tabMain) {
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
            if (auto* port1 = w.find<QRadioButton>(QStringLiteral("optCommPort(1)")))
                QTest::mouseClick(port1, Qt::LeftButton);
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        }
        if (QListWidget* names = w.z.ui.lstTitlerNames)
            names->item(0)->setSelected(true);
        for (int n = 1; n <= 9; ++n)
            if (line(n)->text().isEmpty())
                fill(n, blank());
        port.clearWrites();
        return true;
    }

    EditorLine* line(int n) const { return w.find<EditorLine>(QStringLiteral("txtMain(%1)").arg(n)); }
    QLabel* label(int n) const { return w.find<QLabel>(QStringLiteral("lblLineNum(%1)").arg(n)); }
    QString stored(int n) const { return w.z.table.text(w.z.pageSlot(slot::kLine1 + n - 1)); }
    qint32 storedState(int n) const { return w.z.table.toInt(w.z.pageSlot(slot::kLineState1 + n - 1)); }

    // Clicks into line n just left of column c's middle, which puts the caret before column c.
    void clickAt(int n, int c)
    {
        EditorLine* l = line(n);
        QTest::mouseClick(l, Qt::LeftButton, {}, QPoint(l->columnX(c) + 1, l->height() / 2));
    }
    // Gives line n the text t through the box, as the page view does.
    void fill(int n, const QString& t) { line(n)->setText(t); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(QApplication::focusWidget(), k, m); }
    QPoint centreIn(int pressed, int target, int dy = 0) const
    {
        EditorLine* to = line(target);
        return line(pressed)->mapFrom(w.window.get(), to->mapTo(w.window.get(), QPoint(to->width() / 2, dy)));
    }
};

} // namespace

class TestEditor : public QObject
{
    Q_OBJECT

private slots:
    void filterAdmitsWhatTheTitlerShows()
    {
        const QString shown = QStringLiteral(" !&'()*+,-./0123456789:=?ABCDEFGHIJKLMNOPQRSTUVWXYZ_~");
        for (int c = 1; c < 256; ++c) {
            const int upper = QChar(char16_t(c)).toUpper().unicode();
            const bool ok = shown.contains(QChar(char16_t(upper))) || c == 8 || c == 13;
            QCOMPARE(editor::FilterChar(c, false), ok ? upper : 0);
        }
        QCOMPARE(editor::FilterChar(' ', true), int(kBlockSpace));
        QCOMPARE(editor::FilterChar('q', true), int('Q'));
    }

    void dragCountsTheLinesPassed()
    {
        // Lines 250 units apart: from line 2 to 800 below its top the pointer has passed lines 3 and 4.
        std::array<editor::Span, 10> spans{};
        for (int n = 1; n <= 9; ++n)
            spans[std::size_t(n)] = {(n - 1) * 250, n * 250};
        const editor::LineRange down = editor::dragLines(spans, 2, 350, 250 + 800);
        QCOMPARE(down.first, 2);
        QCOMPARE(down.last, 4);
        QCOMPARE(editor::dragLines(spans, 2, 350, 520).last, 2);  // off the line, short of line 3's middle
        QCOMPARE(editor::dragLines(spans, 8, 1850, 5000).last, 9); // no line below 9
        QCOMPARE(editor::dragLines(spans, 2, 300, -900).first, 1); // none above 1
    }

    void typingCapitalsRejectsAndStores()
    {
        Running r;
        QVERIFY(r.start());
        r.fill(3, blank());
        r.clickAt(3, 0);
        QTest::keyClicks(r.line(3), QStringLiteral("hello"));
        const QString hello = QStringLiteral("HELLO") + QString(15, QLatin1Char(' '));
        QCOMPARE(r.line(3)->text(), hello);
        QCOMPARE(r.stored(3), hello);
        QCOMPARE(r.line(3)->cursorPosition(), 5);
        QCOMPARE(r.w.z.CurrentLine, qint16(3));

        QTest::keyClicks(r.line(3), QStringLiteral(";@#\"<{"));
        QCOMPARE(r.stored(3), hello);
        QCOMPARE(r.line(3)->cursorPosition(), 5);
        QTest::keyClicks(r.line(3), QStringLiteral("~_"));
        QCOMPARE(r.stored(3), QStringLiteral("HELLO~_") + QString(13, QLatin1Char(' ')));

        // At the end of a full line overtype types nothing.
        r.fill(4, QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
        r.clickAt(4, 19);
        r.key(Qt::Key_End);
        QTest::keyClicks(r.line(4), QStringLiteral("x"));
        QCOMPARE(r.stored(4), QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    }

    void insertModeAndItsIndicator()
    {
        Running r;
        QVERIFY(r.start());
        QLabel* mode = r.w.find<QLabel>(QStringLiteral("lblTypeMode"));
        QVERIFY(mode);
        r.fill(1, QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
        r.clickAt(1, 0);
        QVERIFY(r.w.z.OvertypeMode);
        r.key(Qt::Key_Insert);
        QCOMPARE(mode->text(), QStringLiteral("INSERT"));
        QVERIFY(!r.w.z.OvertypeMode);
        QCOMPARE(r.w.z.table.toInt(slot::kTypeMode), 2);
        r.line(1)->setCursorPosition(0);
        QTest::keyClicks(r.line(1), QStringLiteral("z"));
        QCOMPARE(r.stored(1), QStringLiteral("ZABCDEFGHIJKLMNOPQRS"));
        QCOMPARE(r.line(1)->cursorPosition(), 1);
        QTest::keyClicks(r.line(1), QStringLiteral("y;"));
        QCOMPARE(r.stored(1), QStringLiteral("ZYABCDEFGHIJKLMNOPQR"));

        r.key(Qt::Key_Insert);
        QCOMPARE(mode->text(), QStringLiteral("OVERTYPE"));
        QCOMPARE(r.w.z.table.toInt(slot::kTypeMode), 1);
        QTest::keyClicks(r.line(1), QStringLiteral("x"));
        QCOMPARE(r.stored(1), QStringLiteral("ZYXBCDEFGHIJKLMNOPQR"));
    }

    void blockSpaceIsStoredAsCode30AndDrawn()
    {
        Running r;
        QVERIFY(r.start());
        r.fill(2, QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
        r.clickAt(2, 2);
        r.key(Qt::Key_Space, Qt::ControlModifier);
        r.key(Qt::Key_Space);
        QString expected = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
        expected[2] = QChar(kBlockSpace);
        QCOMPARE(r.stored(2), expected);
        QCOMPARE(r.line(2)->cursorPosition(), 3);

        // The box would show the control code as a blank; the block must be ink, the plain space must not.
        r.key(Qt::Key_Space, Qt::ControlModifier);
        r.key(Qt::Key_Space);
        expected[3] = QLatin1Char(' ');
        QCOMPARE(r.stored(2), expected);
        EditorLine* l = r.line(2);
        const QImage img = l->grab().toImage();
        const int y = l->height() / 2;
        const QColor block = img.pixelColor(l->columnX(2) + l->columnWidth() / 2, y);
        const QColor space = img.pixelColor(l->columnX(3) + l->columnWidth() / 2, y);
        QCOMPARE(block, l->palette().color(QPalette::Text));
        QCOMPARE(space, l->palette().color(QPalette::Base));

        // Nothing is typed past the last column of a full line.
        r.key(Qt::Key_Space, Qt::ControlModifier);
        l->setCursorPosition(20);
        r.key(Qt::Key_Space);
        QCOMPARE(r.stored(2), expected);

        // Insert mode pushes the rest right.
        r.key(Qt::Key_Insert);
        l->setCursorPosition(0);
        r.key(Qt::Key_Space);
        QCOMPARE(r.stored(2), QChar(kBlockSpace) + expected.left(19));
    }

    void backspacePadsTheLine()
    {
        Running r;
        QVERIFY(r.start());
        r.fill(5, QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
        r.clickAt(5, 5);
        QCOMPARE(r.line(5)->cursorPosition(), 5);
        r.key(Qt::Key_Backspace);
        QCOMPARE(r.stored(5), QStringLiteral("ABCDFGHIJKLMNOPQRST "));
        QCOMPARE(r.line(5)->cursorPosition(), 4);
        r.key(Qt::Key_Delete); // the box's own Delete, padded the same way
        QCOMPARE(r.stored(5), QStringLiteral("ABCDGHIJKLMNOPQRST  "));
    }

    void enterAndArrowsMoveBetweenLines()
    {
        Running r;
        QVERIFY(r.start());
        r.clickAt(4, 6);
        r.key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), r.line(5));
        QCOMPARE(r.line(5)->cursorPosition(), 0);
        QCOMPARE(r.w.z.CurrentLine, qint16(5));

        r.clickAt(9, 3);
        r.key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), r.line(9));
        QCOMPARE(r.w.z.CurrentLine, qint16(9));
        QCOMPARE(r.stored(9), blank()); // Enter types nothing

        r.clickAt(5, 7);
        r.key(Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), r.line(4));
        QCOMPARE(r.line(4)->cursorPosition(), 7);
        r.key(Qt::Key_Down);
        r.key(Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), r.line(6));
        QCOMPARE(r.line(6)->cursorPosition(), 7);
        QCOMPARE(r.w.z.CurrentLine, qint16(6));

        r.clickAt(1, 4);
        r.key(Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), r.line(1));
        QCOMPARE(r.line(1)->cursorPosition(), 4);
        QCOMPARE(r.w.z.CurrentLine, qint16(1));
        r.clickAt(9, 4);
        r.key(Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), r.line(9));
        QCOMPARE(r.line(9)->cursorPosition(), 4);
    }

    void shiftArrowsHighlightWholeLines()
    {
        Running r;
        QVERIFY(r.start());
        LineEditor* ed = r.w.z.editor;
        r.clickAt(3, 5);
        r.key(Qt::Key_Down, Qt::ShiftModifier);
        QVERIFY(ed->isHighlighted(3));
        QVERIFY(!ed->isHighlighted(4));
        QCOMPARE(r.line(4)->cursorPosition(), 0);
        QCOMPARE(r.line(3)->palette().color(QPalette::Base), r.line(3)->palette().color(QPalette::Highlight));
        QVERIFY(r.line(4)->palette().color(QPalette::Base) != r.line(4)->palette().color(QPalette::Highlight));

        ed->setHighlighted(4, true);
        r.key(Qt::Key_Down, Qt::ShiftModifier);
        QVERIFY(!ed->isHighlighted(4));
        QVERIFY(ed->isHighlighted(3));

        r.key(Qt::Key_Up, Qt::ShiftModifier); // line 2 is not highlighted: line 3 stays so
        QVERIFY(ed->isHighlighted(3));
        QCOMPARE(QApplication::focusWidget(), r.line(3));

        r.key(Qt::Key_Right); // any key without modifiers ends the highlight
        QVERIFY(!ed->isHighlighted(3));

        // The back colour marks a highlighted line, whoever sets it.
        ed->setHighlighted(6, true);
        QPalette white = r.line(6)->palette();
        white.setColor(QPalette::Base, Qt::white);
        r.line(6)->setPalette(white);
        QVERIFY(!ed->isHighlighted(6));
        QCOMPARE(r.line(6)->palette().color(QPalette::Text), QApplication::palette(r.line(6)).color(QPalette::Text));
    }

    void dragHighlightsAndDeleteEmpties()
    {
        Running r;
        QVERIFY(r.start());
        for (int n = 1; n <= 9; ++n)
            r.fill(n, QStringLiteral("LINE %1").arg(n));
        LineEditor* ed = r.w.z.editor;
        EditorLine* two = r.line(2);
        QTest::mousePress(two, Qt::LeftButton, {}, QPoint(two->columnX(3), two->height() / 2));
        // Just inside line 5, above its middle: lines 2 to 4 have been passed.
        QTest::mouseMove(two, r.centreIn(2, 5, 2));
        QList<int> lit;
        for (int n = 1; n <= 9; ++n)
            if (ed->isHighlighted(n))
                lit.append(n);
        QCOMPARE(lit, (QList<int>{2, 3, 4}));
        QTest::mouseMove(two, r.centreIn(2, 5, r.line(5)->height() - 2));
        QVERIFY(ed->isHighlighted(5));
        QTest::mouseMove(two, r.centreIn(2, 2, 3)); // back over the pressed line
        QVERIFY(!ed->isHighlighted(2) && !ed->isHighlighted(3));
        QTest::mouseMove(two, r.centreIn(2, 4, r.line(4)->height() - 2));
        QTest::mouseRelease(two, Qt::LeftButton, {}, r.centreIn(2, 4, r.line(4)->height() - 2));
        QVERIFY(ed->isHighlighted(2) && ed->isHighlighted(3) && ed->isHighlighted(4) && !ed->isHighlighted(5));

        r.key(Qt::Key_Delete, Qt::ShiftModifier);
        for (int n : {2, 3, 4})
            QCOMPARE(r.stored(n), blank());
        QCOMPARE(r.stored(1), editor::padLine(QStringLiteral("LINE 1")));
        QCOMPARE(r.stored(5), editor::padLine(QStringLiteral("LINE 5")));

        // Upwards from line 8 over lines 7 and 6, then F6 acts as Delete.
        EditorLine* eight = r.line(8);
        QTest::mousePress(eight, Qt::LeftButton, {}, QPoint(eight->columnX(3), eight->height() / 2));
        QTest::mouseMove(eight, r.centreIn(8, 6, 2));
        QTest::mouseRelease(eight, Qt::LeftButton, {}, r.centreIn(8, 6, 2));
        QVERIFY(ed->isHighlighted(6) && ed->isHighlighted(7) && ed->isHighlighted(8) && !ed->isHighlighted(5));
        r.key(Qt::Key_F6);
        for (int n : {6, 7, 8})
            QCOMPARE(r.stored(n), blank());
        QCOMPARE(r.stored(9), editor::padLine(QStringLiteral("LINE 9")));

        // A click in a line ends every highlight.
        ed->setHighlighted(1, true);
        r.clickAt(9, 0);
        QVERIFY(!ed->isHighlighted(1));
    }

    void functionKeys()
    {
        Running r;
        QVERIFY(r.start());
        r.fill(6, QStringLiteral("KEEP"));
        r.fill(7, QStringLiteral("GONE"));
        r.clickAt(7, 2);
        r.key(Qt::Key_F7);
        QCOMPARE(r.stored(7), blank());
        QCOMPARE(r.line(7)->text(), blank());
        QCOMPARE(r.stored(6), editor::padLine(QStringLiteral("KEEP")));

        r.key(Qt::Key_F6); // nothing highlighted: nothing emptied
        QCOMPARE(r.stored(6), editor::padLine(QStringLiteral("KEEP")));

        r.key(Qt::Key_F2);
        QCOMPARE(r.w.z.ui.tabMain->currentIndex(), 1);
    }

    void lineLabelSwitchesALineOffAndOn()
    {
        Running r;
        QVERIFY(r.start());
        QLabel* five = r.label(5);
        QCOMPARE(five->text(), QStringLiteral("5"));
        QCOMPARE(lineLabelState(five), slot::kLineOn);
        QCOMPARE(five->palette().color(QPalette::Window), QColor(0, 255, 0));

        QTest::mouseClick(five, Qt::LeftButton);
        QCOMPARE(lineLabelState(five), slot::kLineOff);
        QCOMPARE(five->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(r.storedState(5), slot::kLineOff);
        QVERIFY(r.w.z.ui.txtAddress);
        const QString address = r.w.z.ui.txtAddress->text();
        QCOMPARE(r.port.frames(), (QList<QByteArray>{(address + QStringLiteral("245")).toLatin1()}));

        r.port.clearWrites();
        QTest::mouseClick(five, Qt::LeftButton);
        QCOMPARE(lineLabelState(five), slot::kLineOn);
        QCOMPARE(five->palette().color(QPalette::Window), QColor(0, 255, 0));
        QCOMPARE(r.storedState(5), slot::kLineOn);
        QCOMPARE(r.storedState(4), slot::kLineOn);
    }

    void sendModesSendTheEditedLine()
    {
        Running r;
        QVERIFY(r.start());
        QVERIFY(r.w.z.ui.optSendContinuous && r.w.z.ui.optSendEOL && r.w.z.ui.txtAddress);
        const QByteArray address = r.w.z.ui.txtAddress->text().toLatin1();
        QTest::mouseClick(r.w.z.ui.optSendContinuous, Qt::LeftButton);
        QVERIFY(r.w.z.ui.optSendContinuous->isChecked());
        r.clickAt(3, 0);
        r.port.clearWrites();
        QTest::keyClicks(r.line(3), QStringLiteral("a"));
        QCOMPARE(r.port.frames(), (QList<QByteArray>{address + "28041A" + QByteArray(19, ' ')}));

        // While the page view loads the editor nothing goes out.
        r.port.clearWrites();
        r.w.z.EditorLoading = true;
        r.fill(3, QStringLiteral("LOADED"));
        r.w.z.EditorLoading = false;
        QVERIFY(r.port.writes.isEmpty());
        QCOMPARE(r.stored(3), editor::padLine(QStringLiteral("LOADED")));

        // End of line: Enter on line 4 moves to line 5 and sends line 4 alone.
        QTest::mouseClick(r.w.z.ui.optSendEOL, Qt::LeftButton);
        r.clickAt(4, 0);
        QTest::keyClicks(r.line(4), QStringLiteral("b"));
        QCOMPARE(r.port.writes.size(), 0);
        r.key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), r.line(5));
        QCOMPARE(r.port.frames(), (QList<QByteArray>{address + "28061B" + QByteArray(19, ' ')}));

        // A line label turned green again sends its line.
        QTest::mouseClick(r.label(4), Qt::LeftButton);
        r.port.clearWrites();
        QTest::mouseClick(r.label(4), Qt::LeftButton);
        QCOMPARE(r.port.frames(), (QList<QByteArray>{address + "28061B" + QByteArray(19, ' ')}));
    }

    void rulerColumnsLineUpWithTheText()
    {
        Running r;
        QVERIFY(r.start());
        EditorLine* l = r.line(1);
        r.fill(1, QStringLiteral("MMMMMMMMMMMMMMMMMMMM"));
        const int y = l->height() / 2;
        for (int c = 0; c < editor::kWidth; ++c) {
            QCOMPARE(l->cursorPositionAt(QPoint(l->columnX(c) + 1, y)), c);
            QCOMPARE(l->cursorPositionAt(QPoint(l->columnX(c) + l->columnWidth() - 1, y)), c + 1);
        }
        // The whole line shows: typing at the last column never scrolls the first out of view.
        l->setCursorPosition(20);
        QCOMPARE(l->cursorPositionAt(QPoint(l->columnX(0) + 1, y)), 0);
        QLabel* ruler = r.w.find<QLabel>(QStringLiteral("lblCharPos"));
        QVERIFY(ruler);
        QCOMPARE(ruler->text(), QStringLiteral("12345678901234567890"));
        // Every digit is drawn centred in the cell of its column.
        const QImage img = ruler->grab().toImage();
        const int cw = l->columnWidth();
        for (int c = 0; c < editor::kWidth; ++c) {
            const int x = ruler->mapFrom(r.w.window.get(), l->mapTo(r.w.window.get(), QPoint(l->columnX(c), 0))).x();
            int ink = 0, sum = 0;
            for (int px = std::max(x, 0); px < std::min(x + cw, int(img.width())); ++px)
                for (int py = 0; py < img.height(); ++py)
                    if (qGray(img.pixel(px, py)) < 100) {
                        ++ink;
                        sum += px;
                    }
            QVERIFY2(ink > 0 && std::abs(2 * sum / ink - (2 * x + cw)) <= cw / 2,
                     qPrintable(QStringLiteral("column %1").arg(c + 1)));
        }
        const QFontMetrics fm(l->font());
        for (int c = 32; c < 127; ++c)
            if (editor::FilterChar(c, false) != 0)
                QCOMPARE(fm.horizontalAdvance(QChar(char16_t(c))), l->columnWidth());
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
