#pragma once
// The whole program's window for a test: its own settings folder, message boxes answered and recorded, and a
// port of the test's choosing (a RecordingPort, or the real port to the simulator).

#include "app/MainWindow.h"
#include "app/Shell.h"
#include "app/Zelk.h"
#include "link/SerialPort.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

class TestWindow
{
public:
    // home: the settings folder to use (a fresh temporary one when empty).
    explicit TestWindow(SerialPort& port, const QString& home = {})
    {
        if (home.isEmpty()) {
            dir_ = std::make_unique<QTemporaryDir>();
            home_ = dir_->path();
        } else {
            home_ = home;
        }
        qputenv("ZELK_HOME", home_.toLocal8Bit());
        z.dialogs.setAnswerAll(true);
        window = std::make_unique<MainWindow>(z, port);
    }

    // Runs start-up and shows the window; false when another copy holds the settings folder.
    bool start(const QStringList& args = {})
    {
        const bool ok = z.shell->Form_Load(args);
        if (ok) {
            window->show();
            QTest::qWait(1);
        }
        return ok;
    }

    void close()
    {
        if (window)
            window->close();
    }

    template <typename T> T* find(const QString& name) const
    {
        T* w = window->findChild<T*>(name);
        if (!w)
            qWarning("no control named %s", qPrintable(name));
        return w;
    }

    QString home() const { return home_; }

private:
    // Declared first so the settings folder outlives the window (the window's lock file lives in it).
    std::unique_ptr<QTemporaryDir> dir_;
    QString home_;

public:
    Zelk z;
    std::unique_ptr<MainWindow> window;
};
