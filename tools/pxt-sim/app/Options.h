#pragma once
// The simulator's command line, shared by pxt-sim and its monitor.

#include "SimLoop.h"

class QCoreApplication;

// Reads the options; false (with the help text on stderr) when they make no sense. --help ends the program here.
bool readOptions(const QCoreApplication& app, SimOptions& options);
