#pragma once
// The whole program's window for a test: its own settings folder, message boxes answered and recorded, and a
// port of the test's choosing (a RecordingPort, or the real port to the simulator).

#include "app/MainWindow.h"
#include "app/Shell.h"
#include "app/Zelk.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTabBar>
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
        z.desktop.setRecording(true); // a test never opens a viewer
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

    // Starts, makes the window active and chooses CommPort 1 on the "System Setup" tab as an operator does, then
    // returns to the first tab. True when the link is online.
    bool startOnline(const QStringList& args = {})
    {
        if (!start(args))
            return false;
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            return false;
        showTab(5);
        QTest::mouseClick(find<QWidget>(QStringLiteral("optCommPort(1)")), Qt::LeftButton);
        showTab(1);
        return z.LinkOnline;
    }

    void showTab(int tab)
    {
        QTabBar* tabs = z.ui.tabMain;
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab - 1).center());
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

    // Ticks titlers in the roster as enabled for communication.
    void enable(const QList<int>& addresses)
    {
        for (int a : addresses)
            z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        z.link->FillTitlerLists();
    }
    void click(const QString& name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    // Panel i (1..3) of the status line.
    QString panel(int i) const { return z.ui.lblProgStatus[std::size_t(i)]->text(); }

private:
    // Declared first so the settings folder outlives the window (the window's lock file lives in it).
    std::unique_ptr<QTemporaryDir> dir_;
    QString home_;

public:
    Zelk z;
    std::unique_ptr<MainWindow> window;
};
