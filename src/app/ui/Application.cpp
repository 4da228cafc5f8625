#include "app/ui/Application.h"

#include "app/VerifyCommand.h"
#include "app/ui/FrmMain.h"
#include "common/SettingsLocation.h"
#include "common/ui/HelpService.h"
#include "common/ui/Platform.h"
#include "draw/DrawSeed.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>
#include <cstdio>
#include <iostream>

namespace kuji {

int runApplication(int argc, char** argv)
{
    // "--verify RECORD [ENTRY_FILE]" checks a record from a terminal: no window, no display.
    if (const std::optional<int> status = runVerifyCommand(argc, argv, std::cout, std::cerr))
        return *status;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr,
            "くじ丸: no display found (DISPLAY and WAYLAND_DISPLAY are unset).\n"
            "Start it from a desktop session, or under Xvfb: xvfb-run -a kujimaru\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kujimaru"));
    // No display name: the desktop would add it to every window's title ("くじ丸 ヘルプ — くじ丸").

    // The desktop's own dialogs (file dialogs, message box buttons) speak Japanese too.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QtPlatform platform;
    HelpService help(platform);
    // Every draw takes a fresh seed from the system.
    SystemSeedSource seeds;
    // kujitan.ini beside the program when its folder is writable, else in the user's folder.
    const std::string settingsPath = settingsFilePath(QCoreApplication::applicationDirPath().toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString());
    // The draw records go to the user's data folder (~/.local/share/kujimaru/records).
    const std::string recordsFolder
        = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString() + "/records";
    FrmMain window(platform, seeds, help, settingsPath, recordsFolder);
    window.show();
    return app.exec();
}

} // namespace kuji
