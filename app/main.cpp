// Velmora: the desktop companion of the Velmora medication reminder.
//
// Start-up order: the resource module (the language module VelmoraLang.txt
// beside the program or in its data directory, else the language chosen in
// the Language menu or the desktop's: the program's own Finnish resources
// or a module of ../share/velmora/lang) is chosen before any window exists; --version and
// --help are answered; then the main window object opens the
// database, the window is created, initialised and shown, and the event
// loop runs. The start-up message (sign-in, then the reminder watch) is
// the first event handled. The exit code is the command that closed the
// window (cmd::kOk Enter, cmd::kCancel Esc or the close button, cmd::kExit
// "Poistu"; the system keeps its low eight bits), or 1 or 2 when the
// sign-in was cancelled.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "device/usb_ids.h"
#include "startup.h"
#include "ui/qt/app_style.h"

namespace {

const velmora::ResourceModule* gResources = nullptr;
std::string gProgram = "velmora";

// Qt ends the process with a fatal message when its platform plugin finds
// no display; say it in one line with the way out instead.
void messageHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        const QByteArray m = message.toLocal8Bit();
        if (m.contains("platform plugin") || m.contains("could not connect to display") ||
            m.contains("Could not connect to display")) {
            std::fprintf(stderr, "%s\n", velmora::noDisplayMessage(*gResources, gProgram).c_str());
            std::fflush(stderr);
            std::_Exit(1);
        }
        std::fprintf(stderr, "%s\n", m.constData());
        std::fflush(stderr);
        std::abort();
    }
    if (type == QtCriticalMsg || type == QtWarningMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace velmora;
    const std::filesystem::path programDir = programDirectory();
    if (argc > 0 && argv[0]) gProgram = argv[0];
    const std::filesystem::path dataDir = programDir.empty() ? defaultDataDirectory()
                                                             : dataDirectoryFor(programDir);

    // The resource module is decided once, before any window exists.
    std::string diagnostic;
    const LanguageEnvironment environment = LanguageEnvironment::current();
    static const ResourceModule resources = chooseResourceModule(programDir, &diagnostic, dataDir, environment);
    gResources = &resources;
    if (!diagnostic.empty()) std::fprintf(stderr, "velmora: %s\n", diagnostic.c_str());

    // --version and --help answer without a display.
    if (const auto answer = commandLineAnswer({argv + 1, argv + argc}, resources, gProgram)) {
        std::printf("%s\n", answer->c_str());
        return 0;
    }

    if (!displayLikelyAvailable()) {
        std::fprintf(stderr, "%s\n", noDisplayMessage(resources, gProgram).c_str());
        return 1;
    }
    qInstallMessageHandler(messageHandler);

    QApplication app(argc, argv);
    QApplication::setApplicationName("Velmora");
    QApplication::setApplicationVersion(kVersionText);
    applyAppStyle(app);
    // The loop ends with the command that closed the window, never with
    // Qt's own 0 for "last window closed".
    QApplication::setQuitOnLastWindowClosed(false);

    MainWindow main(resources, dataDir);
    // A database of a newer version, or of another shape, is left as it is.
    if (main.logic.refuseDatabase()) return main.logic.exitCode();
    main.logic.setPassedOverDatabase(passedOverDatabase(programDir, dataDir));
    // A VelmoraLang.txt put beside the program keeps deciding the language.
    const bool overridden = resources.file().filename() == ResourceModule::kLanguageModuleFile;
    main.logic.setConfigurationFile(configurationFile(environment),
                                    overridden ? resources.file() : std::filesystem::path());
    if (main.logic.exitCode() != 0) return main.logic.exitCode();
    QObject::connect(main.window.get(), &MainDlg::finished, &app, [](int code) { QApplication::exit(code); });
    main.window->usePlacementFile(configFilePath());
    main.window->show();
    return app.exec();
}
