#include "Options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

bool readOptions(const QCoreApplication& app, SimOptions& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays a line of titlers on a pseudo-terminal."));
    parser.addHelpOption();
    const QCommandLineOption link(QStringLiteral("link"), QStringLiteral("Symlink to create to the line."),
                                  QStringLiteral("path"));
    const QCommandLineOption titlers(QStringLiteral("titlers"), QStringLiteral("Addresses played (default 1-99)."),
                                     QStringLiteral("list"), QStringLiteral("1-99"));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Never answer a question."));
    const QCommandLineOption garbage(QStringLiteral("garbage"), QStringLiteral("Answer questions with junk."));
    const QCommandLineOption pace(QStringLiteral("pace"), QStringLiteral("Read at the line speed set on the port."));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Write one line per frame."),
                                 QStringLiteral("file"));
    const QCommandLineOption dump(QStringLiteral("dump"),
                                  QStringLiteral("Write the titlers' state on SIGUSR1 and exit."),
                                  QStringLiteral("file"));
    const QCommandLineOption monitor(QStringLiteral("monitor"),
                                     QStringLiteral("Show what each titler shows, and the frames, in a window."));
    parser.addOptions({link, titlers, silent, garbage, pace, log, dump, monitor});
    parser.process(app);

    options.link = parser.value(link);
    options.titlersText = parser.value(titlers);
    const std::optional<pxtsim::AddressSet> played = pxtsim::parseAddresses(options.titlersText);
    if (options.link.isEmpty() || !played || (parser.isSet(silent) && parser.isSet(garbage))) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return false;
    }
    options.titlers = *played;
    options.replies = parser.isSet(silent)    ? pxtsim::ReplyMode::Silent
                      : parser.isSet(garbage) ? pxtsim::ReplyMode::Garbage
                                              : pxtsim::ReplyMode::Normal;
    options.pace = parser.isSet(pace);
    options.logPath = parser.value(log);
    options.dumpPath = parser.value(dump);
    return true;
}
