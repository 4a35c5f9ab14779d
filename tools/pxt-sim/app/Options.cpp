#include "Options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
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
    const QCommandLineOption reply(QStringLiteral("reply"),
                                   QStringLiteral("Answer every question with TEXT (1..16 printable characters)."),
                                   QStringLiteral("text"));
    const QCommandLineOption replyDelay(QStringLiteral("reply-delay"),
                                        QStringLiteral("Answer MS milliseconds after the question (1..10000)."),
                                        QStringLiteral("ms"));
    const QCommandLineOption halfReply(QStringLiteral("half-reply"),
                                       QStringLiteral("Send only the first half of every answer."));
    const QCommandLineOption pace(QStringLiteral("pace"), QStringLiteral("Read at the line speed set on the port."));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Write one line per frame."),
                                 QStringLiteral("file"));
    const QCommandLineOption dump(QStringLiteral("dump"),
                                  QStringLiteral("Write the titlers' state on SIGUSR1 and exit."),
                                  QStringLiteral("file"));
    const QCommandLineOption monitor(QStringLiteral("monitor"),
                                     QStringLiteral("Show what each titler shows, and the frames, in a window."));
    parser.addOptions({link, titlers, silent, garbage, reply, replyDelay, halfReply, pace, log, dump, monitor});
    parser.process(app);

    options.link = parser.value(link);
    options.titlersText = parser.value(titlers);
    const std::optional<pxtsim::AddressSet> played = pxtsim::parseAddresses(options.titlersText);
    options.fixedReply = parser.value(reply).toLatin1();
    const bool replyOk = !parser.isSet(reply) ||
                         (options.fixedReply.size() >= 1 && options.fixedReply.size() <= 16 &&
                          std::all_of(options.fixedReply.begin(), options.fixedReply.end(),
                                      [](char c) { return c > ' ' && c < 127; }));
    const int replyModes = int(parser.isSet(silent)) + int(parser.isSet(garbage)) + int(parser.isSet(reply));
    bool delayOk = true;
    options.replyDelayMs = parser.isSet(replyDelay) ? parser.value(replyDelay).toLongLong(&delayOk) : 0;
    delayOk = delayOk && options.replyDelayMs >= 0 && options.replyDelayMs <= 10000 &&
              (!parser.isSet(replyDelay) || options.replyDelayMs > 0);
    if (options.link.isEmpty() || !played || replyModes > 1 || !replyOk || !delayOk) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return false;
    }
    options.titlers = *played;
    options.replies = parser.isSet(silent)    ? pxtsim::ReplyMode::Silent
                      : parser.isSet(garbage) ? pxtsim::ReplyMode::Garbage
                                              : pxtsim::ReplyMode::Normal;
    options.halfReply = parser.isSet(halfReply);
    options.pace = parser.isSet(pace);
    options.logPath = parser.value(log);
    options.dumpPath = parser.value(dump);
    return true;
}
