#include "NumericKeys.h"

#include <QKeyEvent>
#include <QLineEdit>

bool dropNumericKey(QLineEdit* box, const QKeyEvent* key)
{
    const QString text = key->text();
    if (text.isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Delete)
        return false;
    const QChar c = text.at(0);
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
        // A masked box types over by itself; a plain one is made to, one character under the caret.
        if (box->inputMask().isEmpty() && !box->hasSelectedText() && box->cursorPosition() < box->text().size())
            box->setSelection(box->cursorPosition(), 1);
        return false;
    }
    return c != QChar(8) && c != QLatin1Char('.');
}
