#include "EditorClipboard.h"

#include "CharFilter.h"
#include "ClipboardRules.h"
#include "LineEditor.h"

#include "app/Zelk.h"
#include "core/Errors.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QToolBar>

EditorClipboard::EditorClipboard(Zelk& z) : z_(z)
{
    z_.clipboard = this;
}

void EditorClipboard::connectWindow(QWidget* window)
{
    for (const char* action : {"Cut", "Copy", "Paste"})
        if (auto* menu = window->findChild<QAction*>(QStringLiteral("mnu") + QLatin1String(action)))
            connect(menu, &QAction::triggered, this, [this, action] { ClipboardAction(QLatin1String(action)); });
    if (z_.ui.tbMain)
        connect(z_.ui.tbMain, &QToolBar::actionTriggered, this,
                [this](QAction* a) { tbMain_ButtonClick(a->data().toString()); });
}

void EditorClipboard::triggerMenu(const char* name)
{
    if (z_.ui.frmZELK)
        if (auto* a = z_.ui.frmZELK->findChild<QAction*>(QLatin1String(name)))
            a->trigger();
}

void EditorClipboard::tbMain_ButtonClick(const QString& key)
{
    if (z_.EventsSuppressed)
        return;
    if (key == QLatin1String("Open"))
        triggerMenu("mnuFileOpen");
    else if (key == QLatin1String("Save"))
        triggerMenu("mnuFileSave");
    else if (key == QLatin1String("Align Left"))
        Align(QStringLiteral("Left"));
    else if (key == QLatin1String("Align Right"))
        Align(QStringLiteral("Right"));
    else if (key == QLatin1String("Center"))
        Align(QStringLiteral("Center"));
    else if (key == QLatin1String("Cut") || key == QLatin1String("Copy") || key == QLatin1String("Paste"))
        triggerMenu(qPrintable(QStringLiteral("mnu") + key));
}

void EditorClipboard::ClipboardAction(const QString& action)
{
    if (z_.EventsSuppressed || !z_.editor)
        return;
    try {
        if (action == QLatin1String("Copy"))
            copy(false);
        else if (action == QLatin1String("Cut"))
            copy(true);
        else if (action == QLatin1String("Paste"))
            paste();
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}

void EditorClipboard::copy(bool cut)
{
    QStringList taken;
    QList<int> lines;
    for (int n = 1; n <= slot::kLines; ++n) {
        const QLineEdit* box = z_.ui.txtMain[std::size_t(n)];
        if (box && (box->hasSelectedText() || z_.editor->isHighlighted(n))) {
            taken << box->text();
            lines << n;
        }
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    if (!taken.isEmpty())
        clipboard->setText(editor::clipboardText(taken));
    if (cut)
        for (int n : lines)
            z_.editor->setLineText(n, editor::padLine(QString()));
}

void EditorClipboard::paste()
{
    const QString text = QGuiApplication::clipboard()->text();
    const auto cleaned = editor::cleanPastedText(text, [this](const QString& c) {
        return z_.dialogs.message(z_.ui.frmZELK, QMessageBox::Warning, QStringLiteral("Invalid Character"),
                                  c + QStringLiteral(" is an invalid character. Click OK to replace ") + c +
                                      QStringLiteral(" with spaces or click cancel to cancel pasting."),
                                  QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    });
    if (!cleaned)
        return;
    for (const editor::LineText& l : editor::pastedLines(*cleaned, z_.CurrentLine))
        z_.editor->setLineText(l.line, l.text);
}

void EditorClipboard::Align(const QString& mode)
{
    if (z_.EventsSuppressed || !z_.editor)
        return;
    try {
        auto align = [this, &mode](int n) {
            if (const QLineEdit* box = z_.ui.txtMain[std::size_t(n)])
                z_.editor->setLineText(n, editor::AlignText(mode, box->text()));
        };
        const int current = z_.CurrentLine;
        if (!z_.editor->isHighlighted(current)) {
            align(current);
            return;
        }
        for (int n = 1; n <= slot::kLines; ++n)
            if (z_.editor->isHighlighted(n) && z_.ui.txtMain[std::size_t(n)]->text() != editor::padLine(QString()))
                align(n);
    } catch (const RunTimeError& e) {
        z_.RecordError(e.number, e.source);
    }
}
