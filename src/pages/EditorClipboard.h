#pragma once
// Cut, Copy and Paste of whole editor lines through the system clipboard, and aligning lines left, right or centre;
// reached from the Edit menu, the toolbar and the editor's keys.

#include <QObject>
#include <QString>

class QWidget;
class Zelk;

class EditorClipboard : public QObject
{
public:
    explicit EditorClipboard(Zelk& z);

    // Gives mnuCut, mnuCopy, mnuPaste and the toolbar's buttons their actions.
    void connectWindow(QWidget* window);

    // action: "Copy", "Cut" or "Paste"; anything else does nothing.
    void ClipboardAction(const QString& action);
    // mode: "Left", "Right" or "Center"; aligns the current line, or every highlighted line when it is one of them.
    void Align(const QString& mode);
    // By the button's key: "Open", "Save", "Align Left", "Align Right", "Center", "Cut", "Copy", "Paste".
    void tbMain_ButtonClick(const QString& key);

private:
    void copy(bool cut);
    void paste();
    void triggerMenu(const char* name);

    Zelk& z_;
};
