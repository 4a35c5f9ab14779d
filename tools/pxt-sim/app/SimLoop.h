#pragma once
// The simulator's main loop: poll() on the pty master and a signalfd, nothing else.

#include "pxtsim/TitlerBus.h"

#include <QString>

struct SimOptions
{
    QString link;
    QString titlersText;
    pxtsim::AddressSet titlers;
    pxtsim::ReplyMode replies = pxtsim::ReplyMode::Normal;
    QByteArray fixedReply; // answers every question when not empty
    bool pace = false;
    QString logPath;
    QString dumpPath;
};

// Runs until SIGTERM, SIGINT or SIGHUP; returns the exit code.
int runSimulator(const SimOptions& options);
