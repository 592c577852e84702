// SPDX-FileCopyrightText: 2026 Tamberlight developers
// SPDX-License-Identifier: MIT
#include "qt/command_line.h"

#include "platform/platform_error.h"
#include "qt/checked_file.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <arpa/inet.h>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace tamberlight {

namespace {

[[noreturn]] void wrongUse(const std::string& why) {
    std::fprintf(stderr, "tamberlight: %s\n", why.c_str());
    std::exit(2);
}

// A file named on the command line is opened as the settings are: a named pipe or a device is
// refused at once, never waited on nor read without end. A secret others may read is warned of.
std::string firstLine(const std::string& path, const char* what, bool secret = false) {
    std::string text;
    try {
        const std::optional<Descriptor> file = openChecked(path, Access::Read);
        if (!file)
            wrongUse(std::string("cannot read the ") + what + " " + path +
                     ": there is no such file");
        struct stat status {};
        if (secret && ::fstat(file->get(), &status) == 0 && (status.st_mode & 077) != 0)
            std::fprintf(stderr,
                         "tamberlight: warning: other users may read the %s %s; "
                         "chmod 600 it\n",
                         what, path.c_str());
        text = readBounded(*file);
    } catch (const FileRefused& refused) {
        const std::string why = refused.what();
        wrongUse(std::string("cannot read the ") + what + " " + path + ": " +
                 why.substr(0, why.find(", not a settings file")));
    }
    std::string line = text.substr(0, text.find('\n'));
    if (line.ends_with('\r'))
        line.pop_back();
    if (line.empty() && secret)
        wrongUse(std::string("the ") + what + " " + path + " holds nothing on its first line");
    return line;
}

// [ADDRESS:]PORT, the address an IP address (IPv6 in brackets).
ServeSetup servedAt(const std::string& text) {
    ServeSetup serve;
    const std::size_t colon = text.rfind(':');
    const std::string port = colon == std::string::npos ? text : text.substr(colon + 1);
    if (colon != std::string::npos) {
        serve.address = text.substr(0, colon);
        const bool bracketed =
            serve.address.size() > 2 && serve.address.front() == '[' && serve.address.back() == ']';
        if (bracketed)
            serve.address = serve.address.substr(1, serve.address.size() - 2);
        unsigned char bytes[sizeof(in6_addr)];
        if (::inet_pton(bracketed ? AF_INET6 : AF_INET, serve.address.c_str(), bytes) != 1)
            wrongUse("--serve " + text +
                     ": the address is no IP address (an IPv6 one goes in "
                     "brackets: [::1]:8080)");
    }
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), serve.port);
    if (port.empty() || error != std::errc() || end != port.data() + port.size() ||
        serve.port < 0 || serve.port > 65535)
        wrongUse("--serve " + text + ": the port is no number from 0 to 65535");
    return serve;
}

} // namespace

CommandLine readCommandLine(int argc, char** argv) {
    // The clock on its own, as most starts are, asks for nothing to be read.
    if (argc <= 1)
        return {};
    QCoreApplication::setApplicationName(QStringLiteral("tamberlight"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAMBERLIGHT_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A clock of its own with a schedule that announces itself; one window may lead a clock "
        "that windows on other screens follow, through an MQTT broker."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption lead(QStringLiteral("lead"),
                                  QStringLiteral("Lead the clock of a topic on a broker."),
                                  QStringLiteral("mqtt[s]://[user@]host[:port]/topic"));
    const QCommandLineOption follow(QStringLiteral("follow"),
                                    QStringLiteral("Follow the clock of a topic on a broker."),
                                    QStringLiteral("mqtt[s]://[user@]host[:port]/topic"));
    const QCommandLineOption passwordFile(
        QStringLiteral("password-file"),
        QStringLiteral("The broker's password for the user of the address, on its first line."),
        QStringLiteral("file"));
    const QCommandLineOption caFile(
        QStringLiteral("cafile"),
        QStringLiteral("A private certificate authority for mqtts:// instead of the system's."),
        QStringLiteral("file"));
    const QCommandLineOption serve(
        QStringLiteral("serve"),
        QStringLiteral("Serve this clock as a web page at http://ADDRESS:PORT/ (the address "
                       "127.0.0.1, this computer only, unless given)."),
        QStringLiteral("[address:]port"));
    const QCommandLineOption serveToken(
        QStringLiteral("serve-token"),
        QStringLiteral("The page is served only with the token on this file's first line in its "
                       "address (?token=…)."),
        QStringLiteral("file"));
    parser.addOptions({lead, follow, passwordFile, caFile, serve, serveToken});
    // Qt's own options pass through to the application, which takes them out of the way.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
          "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "style", "stylesheet",
          "display", "geometry", "name", "title", "visual", "dialogs"}) {
        QCommandLineOption qt(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }
    for (const char* name : {"reverse", "widgetcount", "sync", "nograb", "dograb"}) {
        QCommandLineOption qt(QString::fromLatin1(name));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(arguments))
        wrongUse(parser.errorText().toStdString());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        // There is no application yet to name the program.
        const QString text = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                       QStringLiteral("tamberlight"));
        std::fputs(text.toLocal8Bit().constData(), stdout);
        std::exit(0);
    }
    if (parser.isSet(version)) {
        std::printf("tamberlight %s\n", TAMBERLIGHT_VERSION);
        std::exit(0);
    }
    if (!parser.positionalArguments().isEmpty())
        wrongUse("unexpected argument: " + parser.positionalArguments().first().toStdString());
    if (parser.isSet(lead) && parser.isSet(follow))
        wrongUse("a window either leads or follows, not both");
    CommandLine line;
    if (parser.isSet(serve)) {
        line.serve = servedAt(parser.value(serve).toStdString());
        if (parser.isSet(serveToken))
            line.serve->token =
                firstLine(parser.value(serveToken).toStdString(), "token file", true);
    } else if (parser.isSet(serveToken)) {
        wrongUse("--serve-token goes with --serve");
    }
    if (!parser.isSet(lead) && !parser.isSet(follow)) {
        if (parser.isSet(passwordFile) || parser.isSet(caFile))
            wrongUse("--password-file and --cafile go with --lead or --follow");
        return line;
    }
    ShareSetup& setup = line.share.emplace();
    setup.lead = parser.isSet(lead);
    try {
        setup.url = parseShareUrl(parser.value(setup.lead ? lead : follow).toStdString());
    } catch (const PlatformError& error) {
        wrongUse(error.what());
    }
    if (parser.isSet(passwordFile)) {
        if (setup.url.user.empty())
            wrongUse("a password goes with a user in the address (mqtt://user@host/topic)");
        setup.password = firstLine(parser.value(passwordFile).toStdString(), "password file", true);
    }
    if (parser.isSet(caFile)) {
        if (!setup.url.tls)
            wrongUse("--cafile goes with an mqtts:// address");
        setup.caFile = parser.value(caFile).toStdString();
        firstLine(setup.caFile, "certificate authority file");
    }
    return line;
}

} // namespace tamberlight
