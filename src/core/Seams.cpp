#include "Seams.h"

#include <QFileDialog>

QMessageBox::StandardButton Dialogs::message(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                             const QString& text, QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    shown_.append({icon, title, text});
    if (!answers_.isEmpty())
        return answers_.takeFirst();
    if (answerAll_) {
        if (defaultButton != QMessageBox::NoButton)
            return defaultButton;
        for (int b = QMessageBox::FirstButton; b <= QMessageBox::LastButton; b <<= 1)
            if (buttons.testFlag(QMessageBox::StandardButton(b)))
                return QMessageBox::StandardButton(b);
        return QMessageBox::Ok;
    }
    QMessageBox box(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

QString Dialogs::openFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)
{
    if (!fileNames_.isEmpty())
        return fileNames_.takeFirst();
    if (answerAll_)
        return {};
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString Dialogs::saveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)
{
    if (!fileNames_.isEmpty())
        return fileNames_.takeFirst();
    if (answerAll_)
        return {};
    // The program asks its own overwrite question, with its own answers.
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

QDateTime Clock::now() const
{
    return QDateTime::currentDateTime().addMSecs(offsetMs_);
}

void Clock::setNow(const QDateTime& t)
{
    offsetMs_ = QDateTime::currentDateTime().msecsTo(t);
}
