#pragma once
// The places where the program meets the operator or the computer outside its window: message boxes, file dialogs,
// "now" and the desktop's document viewer. Tests answer them in advance; the program shows the real box or dialog.

#include <QDateTime>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

class Dialogs
{
public:
    struct Shown
    {
        QMessageBox::Icon icon;
        QString title;
        QString text;
    };

    // Shows a message box (or answers it from the queue) and returns the button chosen.
    QMessageBox::StandardButton message(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                        const QString& text, QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    QString openFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter);
    QString saveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter);

    // Test side. With answerAll set every box is answered by its default (or first) button without showing.
    void answerNext(QMessageBox::StandardButton b) { answers_.append(b); }
    void fileNameNext(const QString& f) { fileNames_.append(f); }
    void setAnswerAll(bool on) { answerAll_ = on; }
    const QList<Shown>& shown() const { return shown_; }
    void clearShown() { shown_.clear(); }

private:
    QList<QMessageBox::StandardButton> answers_;
    QList<QString> fileNames_;
    QList<Shown> shown_;
    bool answerAll_ = false;
};

class Clock
{
public:
    QDateTime now() const;
    // Test side: make "now" a fixed moment that then runs on with the real clock.
    void setNow(const QDateTime& t);

private:
    qint64 offsetMs_ = 0;
};

// Asks the desktop to open a document with its own viewer (the manual).
class Desktop
{
public:
    // The desktop's answer: false when it has no viewer for the document. While recording, only notes the path.
    bool open(const QString& path);

    // Test side: with recording on nothing is opened, and the paths asked for are kept.
    void setRecording(bool on) { recording_ = on; }
    const QStringList& opened() const { return opened_; }

private:
    bool recording_ = false;
    QStringList opened_;
};
