#include "app/ui/Application.h"

#include "app/RandomSource.h"
#include "app/ui/FrmMain.h"
#include "common/SettingsLocation.h"
#include "common/ui/HelpService.h"
#include "common/ui/Platform.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>
#include <cstdio>

namespace kuji {

int runApplication(int argc, char** argv)
{
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
    // Seeded once from the system's entropy; every draw of this process continues its sequence.
    RandomSource random = RandomSource::fromEntropy();
    // kujitan.ini beside the program when its folder is writable, else in the user's folder.
    const std::string settingsPath = settingsFilePath(QCoreApplication::applicationDirPath().toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString());
    FrmMain window(platform, random, help, settingsPath);
    window.show();
    return app.exec();
}

} // namespace kuji
