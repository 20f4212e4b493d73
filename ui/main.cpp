// wallconsole: the operator console for the video-wall boxes.

#include "link/version.h"
#include "ui/console_session.h"
#include "ui/quit_on_signal.h"
#include "ui/traffic_log.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv) {
    // Named as installed whatever the executable is called: the per-user
    // folder that keeps the scanner's files is named after it.
    QCoreApplication::setApplicationName(QStringLiteral("wallconsole"));
    QCoreApplication::setApplicationVersion(
        QString::fromUtf8(wc::version.data(), static_cast<qsizetype>(wc::version.size())));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Operator console for video-wall processors."));
    // Qt's own options are single-dash words (-platform, -stylesheet): read
    // as words, none of them is taken for -h or -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption log_file(
        QStringLiteral("log"),
        QStringLiteral("Write the traffic log to <file> instead of %1.").arg(wc::TrafficLog::default_path()),
        QStringLiteral("file"));
    const QCommandLineOption no_log(QStringLiteral("no-log"), QStringLiteral("Write no traffic log."));
    parser.addOption(log_file);
    parser.addOption(no_log);
    {
        // --help and --version are answered before the window system is
        // opened, so that they need no display. Qt's options are not known
        // here and pass; QApplication takes them out of the command line.
        const QCoreApplication bare(argc, argv);
        parser.parse(QCoreApplication::arguments());
        if (parser.isSet(help)) {
            parser.showHelp();
        }
        if (parser.isSet(version)) {
            parser.showVersion();
        }
    }

    QApplication app(argc, argv);
    parser.process(app);
    // The coloured command buttons (green Power ON, red Power OFF and
    // Disconnect) need a style that paints the palette's button colour.
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The session ends the event loop itself, once every waiting handler has unwound.
    QApplication::setQuitOnLastWindowClosed(false);

    wc::TrafficLog log(parser.isSet(no_log)     ? QString()
                       : parser.isSet(log_file) ? parser.value(log_file)
                                                : wc::TrafficLog::default_path());
    wc::QtPlatform::Options options;
    options.log = &log;
    wc::ConsoleSession session(options);
    wc::close_on_signals(session.window);
    session.window.show();
    return QApplication::exec();
}
