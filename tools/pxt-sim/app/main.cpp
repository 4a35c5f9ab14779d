// pxt-sim: plays a line of titlers on a pseudo-terminal.

#include "SimLoop.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pxt-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays a line of titlers on a pseudo-terminal."));
    parser.addHelpOption();
    const QCommandLineOption link(QStringLiteral("link"), QStringLiteral("Symlink to create to the line."),
                                  QStringLiteral("path"));
    const QCommandLineOption titlers(QStringLiteral("titlers"), QStringLiteral("Addresses played (default 1-99)."),
                                     QStringLiteral("list"), QStringLiteral("1-99"));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Never answer a question."));
    const QCommandLineOption garbage(QStringLiteral("garbage"), QStringLiteral("Answer questions with junk."));
    const QCommandLineOption reply(QStringLiteral("reply"),
                                   QStringLiteral("Answer every question with TEXT (1..16 printable characters)."),
                                   QStringLiteral("text"));
    const QCommandLineOption pace(QStringLiteral("pace"), QStringLiteral("Read at the line speed set on the port."));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Write one line per frame."),
                                 QStringLiteral("file"));
    const QCommandLineOption dump(QStringLiteral("dump"),
                                  QStringLiteral("Write the titlers' state on SIGUSR1 and exit."),
                                  QStringLiteral("file"));
    parser.addOptions({link, titlers, silent, garbage, reply, pace, log, dump});
    parser.process(app);

    SimOptions options;
    options.link = parser.value(link);
    options.titlersText = parser.value(titlers);
    const std::optional<pxtsim::AddressSet> played = pxtsim::parseAddresses(options.titlersText);
    options.fixedReply = parser.value(reply).toLatin1();
    const bool replyOk = !parser.isSet(reply) ||
                         (options.fixedReply.size() >= 1 && options.fixedReply.size() <= 16 &&
                          std::all_of(options.fixedReply.begin(), options.fixedReply.end(),
                                      [](char c) { return c > ' ' && c < 127; }));
    const int replyModes = int(parser.isSet(silent)) + int(parser.isSet(garbage)) + int(parser.isSet(reply));
    if (options.link.isEmpty() || !played || replyModes > 1 || !replyOk) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return 2;
    }
    options.titlers = *played;
    options.replies = parser.isSet(silent)    ? pxtsim::ReplyMode::Silent
                      : parser.isSet(garbage) ? pxtsim::ReplyMode::Garbage
                                              : pxtsim::ReplyMode::Normal;
    options.pace = parser.isSet(pace);
    options.logPath = parser.value(log);
    options.dumpPath = parser.value(dump);
    return runSimulator(options);
}
