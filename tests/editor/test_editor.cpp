// The line editor driven through the real window: typing, modes, moves, highlights, line labels, window keys.

#include "RecordingPort.h"
#include "TestWindow.h"

#include "pages/CharFilter.h"
#include "pages/EditorLine.h"
#include "pages/LineEditor.h"
#include "transmit/Transmission.h"

#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QListWidget>
#include <QRadioButton>
#include <QTabBar>
#include <QtTest>

namespace {

using editor::kBlockSpace;

const QString kFull = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
// A line as stored: always twenty characters.
QString padded(const QString& s = {}) { return s.leftJustified(20); }

// The real window, active, online on port 1, with the page's titler enabled.
struct Running
{
    RecordingPort port;
    TestWindow w{port};

    bool start()
    {
        if (!w.startOnline())
            return false;
        w.z.ui.lstTitlerNames->item(0)->setSelected(true);
        port.clearWrites();
        return true;
    }

    EditorLine* line(int n) const { return w.find<EditorLine>(QStringLiteral("txtMain(%1)").arg(n)); }
    QLabel* label(int n) const { return w.find<QLabel>(QStringLiteral("lblLineNum(%1)").arg(n)); }
    QString stored(int n) const { return w.z.table.text(w.z.pageSlot(slot::kLine1 + n - 1)); }
    qint32 storedState(int n) const { return w.z.table.toInt(w.z.pageSlot(slot::kLineState1 + n - 1)); }
    QList<int> lit() const
    {
        QList<int> on;
        for (int n = 1; n <= 9; ++n)
            if (w.z.editor->isHighlighted(n))
                on.append(n);
        return on;
    }

    // Clicks just right of column c's left edge, which puts the caret before column c.
    void clickAt(int n, int c)
    {
        EditorLine* l = line(n);
        QTest::mouseClick(l, Qt::LeftButton, {}, QPoint(l->columnX(c) + 1, l->height() / 2));
    }
    void fill(int n, const QString& t) { line(n)->setText(t); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(QApplication::focusWidget(), k, m); }
    QPoint centreIn(int pressed, int target, int dy) const
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
    void filterAndDragRules()
    {
        const QString shown = QStringLiteral(" !&'()*+,-./0123456789:=?ABCDEFGHIJKLMNOPQRSTUVWXYZ_~");
        for (int c = 1; c < 256; ++c) {
            const int upper = QChar(char16_t(c)).toUpper().unicode();
            const bool ok = shown.contains(QChar(char16_t(upper))) || c == 8 || c == 13;
            QCOMPARE(editor::FilterChar(c, false), ok ? upper : 0);
        }
        QCOMPARE(editor::FilterChar(' ', true), int(kBlockSpace));
        QCOMPARE(editor::FilterChar('q', true), int('Q'));

        // Lines 250 units apart: from line 2 to 800 below its top the pointer has passed lines 3 and 4.
        std::array<editor::Span, 10> spans{};
        for (int n = 1; n <= 9; ++n)
            spans[std::size_t(n)] = {(n - 1) * 250, n * 250};
        const editor::LineRange down = editor::dragLines(spans, 2, 350, 250 + 800);
        QCOMPARE(down.first, 2);
        QCOMPARE(down.last, 4);
        QCOMPARE(editor::dragLines(spans, 2, 350, 520).last, 2);  // short of line 3's middle
        QCOMPARE(editor::dragLines(spans, 8, 1850, 5000).last, 9); // no line below 9
        QCOMPARE(editor::dragLines(spans, 2, 300, -900).first, 1); // none above 1
    }

    void typingModesAndBlockSpace()
    {
        Running r;
        QVERIFY(r.start());
        r.clickAt(3, 0);
        QTest::keyClicks(r.line(3), QStringLiteral("hel;@#\"<{lo~_"));
        const QString typed = padded(QStringLiteral("HELLO~_"));
        QCOMPARE(r.line(3)->text(), typed);
        QCOMPARE(r.stored(3), typed);
        QCOMPARE(r.line(3)->cursorPosition(), 7);
        QCOMPARE(r.w.z.CurrentLine, qint16(3));

        r.fill(4, kFull); // overtype at the end of a full line types nothing
        r.clickAt(4, 19);
        r.key(Qt::Key_End);
        QTest::keyClicks(r.line(4), QStringLiteral("x"));
        QCOMPARE(r.stored(4), kFull);

        r.fill(5, kFull);
        r.clickAt(5, 5);
        r.key(Qt::Key_Backspace);
        QCOMPARE(r.stored(5), QStringLiteral("ABCDFGHIJKLMNOPQRST "));
        QCOMPARE(r.line(5)->cursorPosition(), 4);
        r.key(Qt::Key_Delete); // the box's own Delete, padded the same way
        QCOMPARE(r.stored(5), QStringLiteral("ABCDGHIJKLMNOPQRST  "));

        QLabel* mode = r.w.z.ui.lblTypeMode;
        r.fill(1, kFull);
        r.clickAt(1, 0);
        r.key(Qt::Key_Insert);
        QCOMPARE(mode->text(), QStringLiteral("INSERT"));
        QCOMPARE(r.w.z.table.toInt(slot::kTypeMode), 2);
        QTest::keyClicks(r.line(1), QStringLiteral("zy;"));
        QCOMPARE(r.stored(1), QStringLiteral("ZYABCDEFGHIJKLMNOPQR"));
        QCOMPARE(r.line(1)->cursorPosition(), 2);
        r.key(Qt::Key_Insert);
        QCOMPARE(mode->text(), QStringLiteral("OVERTYPE"));
        QCOMPARE(r.w.z.table.toInt(slot::kTypeMode), 1);
        QTest::keyClicks(r.line(1), QStringLiteral("x"));
        QCOMPARE(r.stored(1), QStringLiteral("ZYXBCDEFGHIJKLMNOPQR"));

        // Ctrl+Space switches block spaces on and off.
        EditorLine* l = r.line(2);
        r.fill(2, kFull);
        r.clickAt(2, 2);
        r.key(Qt::Key_Space, Qt::ControlModifier);
        r.key(Qt::Key_Space);
        r.key(Qt::Key_Space, Qt::ControlModifier);
        r.key(Qt::Key_Space);
        QString expected = kFull;
        expected[2] = QChar(kBlockSpace);
        expected[3] = QLatin1Char(' ');
        QCOMPARE(r.stored(2), expected);
        QCOMPARE(l->cursorPosition(), 4);
        // The box would show the control code as a blank; the block must be ink, the plain space must not.
        const QImage img = l->grab().toImage();
        const int y = l->height() / 2;
        QCOMPARE(img.pixelColor(l->columnX(2) + l->columnWidth() / 2, y), l->palette().color(QPalette::Text));
        QCOMPARE(img.pixelColor(l->columnX(3) + l->columnWidth() / 2, y), l->palette().color(QPalette::Base));
        r.key(Qt::Key_Space, Qt::ControlModifier); // no block is typed past the last column
        l->setCursorPosition(20);
        r.key(Qt::Key_Space);
        QCOMPARE(r.stored(2), expected);
    }

    void enterAndArrowsMoveBetweenLines()
    {
        Running r;
        QVERIFY(r.start());
        // Clicked at (line, column) or, for line 0, where the caret is; the key leads to (line, column).
        struct Move { int line, col; Qt::Key key; int toLine, toCol; };
        const Move moves[] = {{4, 6, Qt::Key_Return, 5, 0}, {9, 3, Qt::Key_Return, 9, 3}, {5, 7, Qt::Key_Up, 4, 7},
                              {0, 0, Qt::Key_Down, 5, 7},    {0, 0, Qt::Key_Down, 6, 7},   {1, 4, Qt::Key_Up, 1, 4},
                              {9, 4, Qt::Key_Down, 9, 4}};
        for (const Move& m : moves) {
            if (m.line)
                r.clickAt(m.line, m.col);
            r.key(m.key);
            QCOMPARE(QApplication::focusWidget(), r.line(m.toLine));
            QCOMPARE(r.line(m.toLine)->cursorPosition(), m.toCol);
            QCOMPARE(r.w.z.CurrentLine, qint16(m.toLine));
        }
        QCOMPARE(r.stored(9), padded()); // Enter types nothing
    }

    void highlightsAndFunctionKeys()
    {
        Running r;
        QVERIFY(r.start());
        LineEditor* ed = r.w.z.editor;
        r.clickAt(3, 5);
        r.key(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(r.lit(), QList<int>{3});
        QCOMPARE(r.line(4)->cursorPosition(), 0);
        QCOMPARE(r.line(3)->palette().color(QPalette::Base), r.line(3)->palette().color(QPalette::Highlight));
        QVERIFY(r.line(4)->palette().color(QPalette::Base) != r.line(4)->palette().color(QPalette::Highlight));
        ed->setHighlighted(4, true);
        r.key(Qt::Key_Down, Qt::ShiftModifier); // onto a highlighted line: that one goes off
        QCOMPARE(r.lit(), QList<int>{3});
        r.key(Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(r.lit(), QList<int>{3});
        QCOMPARE(QApplication::focusWidget(), r.line(3));
        r.key(Qt::Key_Right); // any key without modifiers ends the highlight
        QVERIFY(r.lit().isEmpty());
        ed->setHighlighted(6, true); // the back colour marks a highlight: painting the lines white ends it
        r.w.z.transmission->RestoreEditorPreferences();
        QVERIFY(r.lit().isEmpty());
        QCOMPARE(r.line(6)->palette().color(QPalette::Text), QApplication::palette(r.line(6)).color(QPalette::Text));

        for (int n = 1; n <= 9; ++n)
            r.fill(n, QStringLiteral("LINE %1").arg(n));
        EditorLine* two = r.line(2);
        QTest::mousePress(two, Qt::LeftButton, {}, QPoint(two->columnX(3), two->height() / 2));
        QTest::mouseMove(two, r.centreIn(2, 5, 2)); // just inside line 5, above its middle
        QCOMPARE(r.lit(), (QList<int>{2, 3, 4}));
        QTest::mouseMove(two, r.centreIn(2, 5, r.line(5)->height() - 2));
        QVERIFY(ed->isHighlighted(5));
        QTest::mouseMove(two, r.centreIn(2, 2, 3)); // back over the pressed line
        QVERIFY(r.lit().isEmpty());
        QTest::mouseMove(two, r.centreIn(2, 4, r.line(4)->height() - 2));
        QTest::mouseRelease(two, Qt::LeftButton, {}, r.centreIn(2, 4, r.line(4)->height() - 2));
        QCOMPARE(r.lit(), (QList<int>{2, 3, 4}));
        r.key(Qt::Key_Delete, Qt::ShiftModifier);
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(r.stored(n), n == 1 || n == 5 ? padded(QStringLiteral("LINE %1").arg(n)) : padded());

        EditorLine* eight = r.line(8); // upwards, then F6 acts as Delete
        QTest::mousePress(eight, Qt::LeftButton, {}, QPoint(eight->columnX(3), eight->height() / 2));
        QTest::mouseMove(eight, r.centreIn(8, 6, 2));
        QTest::mouseRelease(eight, Qt::LeftButton, {}, r.centreIn(8, 6, 2));
        QCOMPARE(r.lit(), (QList<int>{6, 7, 8}));
        r.key(Qt::Key_F6);
        for (int n : {6, 7, 8})
            QCOMPARE(r.stored(n), padded());

        ed->setHighlighted(1, true);
        r.clickAt(9, 2); // a click in a line ends every highlight
        QVERIFY(r.lit().isEmpty());
        r.key(Qt::Key_F7);
        QCOMPARE(r.stored(9), padded());
        QCOMPARE(r.line(9)->text(), padded());
        r.key(Qt::Key_F6); // nothing highlighted: nothing emptied
        QCOMPARE(r.stored(1), padded(QStringLiteral("LINE 1")));
        QCOMPARE(r.stored(5), padded(QStringLiteral("LINE 5")));
        r.key(Qt::Key_F2);
        QCOMPARE(r.w.z.ui.tabMain->currentIndex(), 1);
    }

    void lineLabelsAndSendModes()
    {
        Running r;
        QVERIFY(r.start());
        const QByteArray address = r.w.z.ui.txtAddress->text().toLatin1();
        QLabel* five = r.label(5);
        QTest::mouseClick(five, Qt::LeftButton);
        QCOMPARE(lineLabelState(five), slot::kLineOff);
        QCOMPARE(five->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(r.storedState(5), slot::kLineOff);
        QCOMPARE(r.port.frames(), QList<QByteArray>{address + "245"});
        r.port.clearWrites();
        QTest::mouseClick(five, Qt::LeftButton); // green again: the line goes out
        QCOMPARE(five->palette().color(QPalette::Window), QColor(0, 255, 0));
        QCOMPARE(r.storedState(5), slot::kLineOn);
        QCOMPARE(r.port.frames(), QList<QByteArray>{address + "28081" + QByteArray(20, ' ')});

        // What typing sends in each mode is checked on the real line; loading the page never sends.
        QTest::mouseClick(r.w.z.ui.optSendContinuous, Qt::LeftButton);
        r.port.clearWrites();
        r.w.z.EditorLoading = true;
        r.fill(3, QStringLiteral("LOADED"));
        r.w.z.EditorLoading = false;
        QVERIFY(r.port.writes.isEmpty());
        QCOMPARE(r.stored(3), padded(QStringLiteral("LOADED")));
    }

    // The box's own ways of changing its text would pass lower case and ";" behind the filter, and in the continuous
    // mode straight to the titler: the platform's paste key, a drop, a middle click, a context menu, an input
    // method, and the box's Ctrl editing keys.
    void nothingReachesALineBehindTheFilter()
    {
        Running r;
        QVERIFY(r.start());
        QTest::mouseClick(r.w.z.ui.optSendContinuous, Qt::LeftButton);
        EditorLine* l = r.line(2);
        r.fill(2, QStringLiteral("ONE TWO"));
        r.clickAt(2, 3);
        r.port.clearWrites();
        const QString dirty = QStringLiteral("abc;def");
        QGuiApplication::clipboard()->setText(dirty);
        QGuiApplication::clipboard()->setText(dirty, QClipboard::Selection);

        // A full line takes new text only in place of a selection: each attempt is made over "TWO" selected.
        const auto overTwo = [l](const std::function<void()>& attempt) {
            l->setSelection(4, 3);
            attempt();
        };
        overTwo([l] { QTest::keyClick(l, Qt::Key_Insert, Qt::ShiftModifier); });
        QMimeData mime;
        mime.setText(dirty);
        overTwo([&] {
            QDropEvent drop(QPointF(l->columnX(5), l->height() / 2), Qt::CopyAction, &mime, Qt::LeftButton, {});
            QApplication::sendEvent(l, &drop);
        });
        overTwo([l] {
            const QPoint at(l->columnX(5), l->height() / 2);
            QMouseEvent release(QEvent::MouseButtonRelease, at, l->mapToGlobal(at), Qt::MiddleButton, {}, {});
            QApplication::sendEvent(l, &release);
        });
        overTwo([l] {
            QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(4, 4), l->mapToGlobal(QPoint(4, 4)));
            QApplication::sendEvent(l, &menu);
            QVERIFY(!QApplication::activePopupWidget());
        });
        overTwo([&] {
            QInputMethodEvent composed;
            composed.setCommitString(dirty);
            QApplication::sendEvent(l, &composed);
        });
        // Keys with Ctrl, Alt or Meta type and edit nothing (Ctrl+Alt is how some systems send AltGr).
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
        for (const auto& [key, mods] : QList<std::pair<Qt::Key, Qt::KeyboardModifiers>>{
                 {Qt::Key_Backspace, ctrl},
                 {Qt::Key_Backspace, ctrl | Qt::ShiftModifier},
                 {Qt::Key_Backspace, ctrl | alt},
                 {Qt::Key_Delete, ctrl},
                 {Qt::Key_Delete, Qt::ShiftModifier},
                 {Qt::Key_K, ctrl},
                 {Qt::Key_U, ctrl},
                 {Qt::Key_A, ctrl},
                 {Qt::Key_Z, ctrl},
                 {Qt::Key_Z, ctrl | Qt::ShiftModifier},
                 {Qt::Key_Q, alt},
                 {Qt::Key_Semicolon, alt},
                 {Qt::Key_Q, Qt::MetaModifier},
                 {Qt::Key_Q, ctrl | alt}})
            overTwo([&, k = key, m = mods] { QTest::keyClick(l, k, m); });
        QCOMPARE(l->text(), padded(QStringLiteral("ONE TWO")));
        QCOMPARE(r.stored(2), padded(QStringLiteral("ONE TWO")));
        QVERIFY(r.port.writes.isEmpty());
        // The line still takes typing; Shift+Insert was the Insert key.
        l->setCursorPosition(3);
        QTest::keyClick(l, Qt::Key_X);
        QCOMPARE(r.stored(2), padded(QStringLiteral("ONEX TWO")));
        QCOMPARE(r.port.writes.size(), 1);
    }

    void rulerColumnsLineUpWithTheText()
    {
        Running r;
        QVERIFY(r.start());
        EditorLine* l = r.line(1);
        r.fill(1, QStringLiteral("MMMMMMMMMMMMMMMMMMMM"));
        l->setCursorPosition(20); // the caret after the last column never scrolls the first out of view
        const int y = l->height() / 2, cw = l->columnWidth();
        for (int c = 0; c < editor::kWidth; ++c) {
            QCOMPARE(l->cursorPositionAt(QPoint(l->columnX(c) + 1, y)), c);
            QCOMPARE(l->cursorPositionAt(QPoint(l->columnX(c) + cw - 1, y)), c + 1);
        }
        QLabel* ruler = r.w.find<QLabel>(QStringLiteral("lblCharPos"));
        QCOMPARE(ruler->text(), QStringLiteral("12345678901234567890"));
        // Every digit is drawn centred in the cell of its column.
        const QImage img = ruler->grab().toImage();
        for (int c = 0; c < editor::kWidth; ++c) {
            const int x = ruler->mapFrom(r.w.window.get(), l->mapTo(r.w.window.get(), QPoint(l->columnX(c), 0))).x();
            int ink = 0, sum = 0;
            for (int px = std::max(x, 0); px < std::min(x + cw, int(img.width())); ++px)
                for (int py = 0; py < img.height(); ++py)
                    if (qGray(img.pixel(px, py)) < 100) {
                        ++ink;
                        sum += px;
                    }
            QVERIFY2(ink > 0 && std::abs(2 * sum / ink - (2 * x + cw)) <= cw / 2, qPrintable(QString::number(c + 1)));
        }
        const QFontMetrics fm(l->font());
        for (int c = 32; c < 127; ++c)
            if (editor::FilterChar(c, false) != 0)
                QCOMPARE(fm.horizontalAdvance(QChar(char16_t(c))), cw);
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
