// Cut, Copy and Paste with the system clipboard, alignment, and the text search, through the real window.

#include "RecordingPort.h"
#include "TestWindow.h"

#include "pages/ClipboardRules.h"
#include "pages/EditorLine.h"
#include "pages/LineEditor.h"
#include "pages/TextSearch.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

QString padded(const QString& s = {})
{
    return s.leftJustified(20);
}

struct Running
{
    RecordingPort port;
    TestWindow w{port};

    bool start()
    {
        if (!w.startOnline())
            return false;
        QTest::mouseClick(w.z.ui.optSendContinuous, Qt::LeftButton);
        for (int n = 1; n <= 9; ++n)
            line(n)->setText(QStringLiteral("LINE %1").arg(n));
        port.clearWrites();
        return true;
    }
    EditorLine* line(int n) const { return w.find<EditorLine>(QStringLiteral("txtMain(%1)").arg(n)); }
    QString stored(int n, int page = 1) const { return w.z.table.text(slot::page(page, slot::kLine1 + n - 1)); }
    void focus(int n) { QTest::mouseClick(line(n), Qt::LeftButton); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(QApplication::focusWidget(), k, m); }
    void trigger(const char* name) { w.find<QAction>(QLatin1String(name))->trigger(); }
    static QString clipboard() { return QGuiApplication::clipboard()->text(); }
    static void setClipboard(const QString& t) { QGuiApplication::clipboard()->setText(t); }
    // The "28" frames sent since the last check, as "position:text".
    QStringList sentLines()
    {
        QStringList out;
        for (const QByteArray& f : port.frames())
            if (f.mid(2, 2) == "28")
                out << QString::fromLatin1(f.mid(4, 3) + ':' + f.mid(7));
        port.clearWrites();
        return out;
    }
};

} // namespace

class TestClipboard : public QObject
{
    Q_OBJECT

private slots:
    void alignmentRounding()
    {
        const struct
        {
            const char* mode;
            QString text;
            QString aligned;
        } cases[] = {
            {"Center", padded("   ABC"), QString(8, ' ') + "ABC"},           // 17 free columns: 8.5 rounds to 8
            {"Center", padded(QString(15, 'X')), "  " + QString(15, 'X')},   // 5 free: 2
            {"Center", padded(QString(13, 'X')), "    " + QString(13, 'X')}, // 7 free: 4
            {"Center", padded(QString(19, 'X')), QString(19, 'X')},          // 1 free: none
            {"Right", QString(17, ' ') + "A B", QString(17, ' ') + "A B"},
            {"Left", padded("   A B"), "A B"},
            {"Left", padded(), ""},
        };
        for (const auto& c : cases)
            QCOMPARE(editor::AlignText(QLatin1String(c.mode), c.text), c.aligned);
    }

    void cutCopyAndPasteWholeLines()
    {
        Running r;
        QVERIFY(r.start());
        LineEditor* ed = r.w.z.editor;
        r.focus(4);
        r.line(4)->setSelection(1, 3); // selected characters take their whole line
        ed->setHighlighted(2, true);
        r.trigger("mnuCopy");
        QCOMPARE(Running::clipboard(), padded("LINE 2") + "\n\r" + padded("LINE 4") + "\n\r");

        r.focus(3);
        ed->setHighlighted(3, true);
        r.key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(Running::clipboard(), padded("LINE 3") + "\n\r");
        QCOMPARE(r.stored(3), padded());
        QVERIFY(!ed->isHighlighted(3));
        r.sentLines();

        const QString text45 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefghi";
        Running::setClipboard(text45);
        r.focus(5);
        r.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(r.stored(5), text45.left(20));
        QCOMPARE(r.stored(6), text45.mid(20, 20));
        QCOMPARE(r.stored(7), padded(text45.mid(40)));
        QCOMPARE(r.sentLines(), (QStringList{"081:" + text45.left(20), "101:" + text45.mid(20, 20).toUpper(),
                                             "121:" + padded("EFGHI")}));

        // From line 8: a third segment, and text after the last break, are not pasted.
        for (const auto& [text, line9] : {std::pair{"ab\r\ncd\r\nef\r\n", "cd"}, std::pair{"ab\r\nij", "cd"}}) {
            Running::setClipboard(QLatin1String(text));
            r.focus(8);
            r.trigger("tbPaste");
            QCOMPARE(r.stored(8), padded("ab"));
            QCOMPARE(r.stored(9), padded(line9));
        }

        // Characters a titler cannot show are asked about, one question each.
        Dialogs& d = r.w.z.dialogs;
        d.clearShown();
        Running::setClipboard("A;B;C");
        r.focus(1);
        r.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(r.stored(1), padded("A B C"));
        QCOMPARE(d.shown().size(), 2);
        QCOMPARE(d.shown()[0].title, QString("Invalid Character"));
        QCOMPARE(d.shown()[0].text, QString("; is an invalid character. Click OK to replace ; with spaces or click "
                                            "cancel to cancel pasting."));
        Running::setClipboard("X@Y\r\nZ\r\n");
        d.answerNext(QMessageBox::Cancel);
        r.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(r.stored(1), padded("A B C"));
        QCOMPARE(r.stored(2), padded("LINE 2"));

        // F5 copies, then pastes; F4 cuts, then pastes.
        ed->setHighlighted(4, true);
        r.key(Qt::Key_F5);
        r.focus(6);
        r.key(Qt::Key_F5);
        QCOMPARE(r.stored(6), padded("LINE 4"));
        ed->setHighlighted(6, true);
        r.key(Qt::Key_F4);
        QCOMPARE(r.stored(6), padded());
        r.focus(9);
        r.key(Qt::Key_F4);
        QCOMPARE(r.stored(9), padded("LINE 4"));
    }

    void aLongerPastedSegmentStaysWholeUntilEdited()
    {
        Running r;
        QVERIFY(r.start());
        const QString longer = "1234567890123456789012345";
        Running::setClipboard(longer + "\r\n");
        r.focus(2);
        r.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(r.stored(2), longer);
        QCOMPARE(r.line(2)->text(), longer.left(20));
        QCOMPARE(r.sentLines(), QStringList{"021:" + longer.left(20)});
        QTest::mouseClick(r.w.find<QPushButton>("cmdNextPage"), Qt::LeftButton);
        QTest::mouseClick(r.w.find<QPushButton>("cmdPrevPage"), Qt::LeftButton);
        QCOMPARE(r.stored(2), longer); // shown again, still whole
        r.focus(2);
        r.key(Qt::Key_End);
        r.key(Qt::Key_Backspace);
        QCOMPARE(r.stored(2), padded(longer.left(19)));
    }

    // A long segment that begins with twenty spaces looks blank; every way of emptying the line removes it.
    void aHiddenLongSegmentIsCleared()
    {
        Running r;
        QVERIFY(r.start());
        const QString hidden = QString(20, ' ') + "XYZ";
        LineEditor* ed = r.w.z.editor;
        const std::pair<const char*, std::function<void()>> ways[] = {
            {"Clear Editor", [&] { QTest::mouseClick(r.w.find<QPushButton>("cmdClearEditor"), Qt::LeftButton); }},
            {"Delete", [&] { ed->setHighlighted(4, true), r.key(Qt::Key_Delete); }},
            {"F6", [&] { ed->setHighlighted(4, true), r.key(Qt::Key_F6); }},
            {"F7", [&] { r.key(Qt::Key_F7); }},
            {"Cut", [&] { ed->setHighlighted(4, true), r.trigger("mnuCut"); }},
        };
        for (const auto& [way, clear] : ways) {
            Running::setClipboard(hidden + "\r\n");
            r.focus(4);
            r.key(Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(r.stored(4), hidden);
            r.key(Qt::Key_End);
            clear();
            QVERIFY2(r.stored(4) == padded(), way);
        }
    }

    void alignFromToolbarAndF3()
    {
        Running r;
        QVERIFY(r.start());
        r.line(7)->setText("  AB");
        r.focus(7);
        r.trigger("tbAlignRight");
        QCOMPARE(r.stored(7), QString(18, ' ') + "AB");
        // A highlighted current line aligns every highlighted line that is not blank.
        r.line(9)->setText(QString());
        r.focus(8);
        for (int n : {7, 8, 9})
            r.w.z.editor->setHighlighted(n, true);
        r.key(Qt::Key_F3);
        QCOMPARE(r.stored(7), padded(QString(9, ' ') + "AB"));
        QCOMPARE(r.stored(8), padded(QString(7, ' ') + "LINE 8"));
        QCOMPARE(r.stored(9), padded());
    }

    void searchStepsThroughMatchingPages()
    {
        Running r;
        QVERIFY(r.start());
        PageTable& t = r.w.z.table;
        t.setText(slot::page(3, slot::kLine1 + 1), "news at ten"); // pasted: kept in lower case
        t.setText(slot::page(17, slot::kLine1 + 4), "TEN O'CLOCK NEWS");
        t.setText(slot::page(17, slot::kLine1 + 6), "MORE NEWS");
        auto* box = r.w.find<QLineEdit>("txtSearchText");
        auto* find = r.w.find<QPushButton>("cmdFind");
        auto* status = r.w.find<QLabel>("lblFindStatus");
        QTest::keyClicks(box, "ne;ws");
        QCOMPARE(box->text(), QString("NEWS"));
        // The selection paste of the middle button would bypass the filter: the box never sees the click (a
        // platform without a selection pastes nothing anyway).
        QGuiApplication::clipboard()->setText("x;y", QClipboard::Selection);
        const QPoint at(2, box->height() / 2);
        QMouseEvent middle(QEvent::MouseButtonRelease, at, box->mapToGlobal(at), Qt::MiddleButton, {}, {});
        QVERIFY(static_cast<QObject*>(r.w.z.search)->eventFilter(box, &middle));
        QApplication::sendEvent(box, &middle);
        QCOMPARE(box->text(), QString("NEWS"));
        QCOMPARE(t.text(slot::kSearchText), QString("NEWS"));
        const struct
        {
            const char* page;
            const char* status;
        } steps[] = {{"03", "Occurence 1 of 2"}, {"17", "Occurence 2 of 2"}, {"03", "Occurence 1 of 2"}};
        for (const auto& s : steps) {
            QTest::mouseClick(find, Qt::LeftButton);
            QCOMPARE(r.w.z.ui.txtPageNumber->text(), QString(s.page));
            QCOMPARE(status->text(), QString(s.status));
            QCOMPARE(find->text(), QString("Go To Next"));
        }
        QTest::keyClicks(box, "x");
        QCOMPARE(find->text(), QString("Find"));
        QCOMPARE(status->text(), QString());
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(status->text(), QString("Text Not Found"));
        QCOMPARE(r.w.z.ui.txtPageNumber->text(), QString("03"));
    }
};

QTEST_MAIN(TestClipboard)
#include "test_clipboard.moc"
