#pragma once

// An offscreen main window for the whole-command benchmarks: a scripted platform, seeds from
// the system, and a settings file and a records folder in a folder of its own.

#include "BenchTiming.h"
#include "app/ui/FrmMain.h"
#include "common/Settings.h"
#include "common/ui/HelpService.h"
#include "common/ui/LongWork.h"
#include "draw/DrawSeed.h"
#include "pickup/ui/FrmPickupRecord.h"
#include "pickup/ui/PickupRecordTool.h"
#include "support/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

namespace kuji::bench {

class BenchWindow {
public:
    // keepRecords false turns the draw records off before the window opens.
    explicit BenchWindow(bool keepRecords = true)
        : window(
            platform, seeds, help, settingsFile(keepRecords), folder.filePath(QStringLiteral("records")).toStdString())
    {
        window.show();
        QApplication::processEvents();
    }

    template <typename T> T* child(const char* name) { return window.findChild<T*>(QLatin1String(name)); }

    void setBoxes(const QString& first, const QString& second, const QString& count)
    {
        child<QLineEdit>("txtSaisyo")->setText(first);
        child<QLineEdit>("txtSaidai")->setText(second);
        child<QLineEdit>("txtTyusen")->setText(count);
    }

    // Triggers a command and returns once the long work it started has ended and the window
    // has painted what it shows afterwards.
    void trigger(const char* command)
    {
        child<QAction>(command)->trigger();
        waitIdle(window.longWork());
        QApplication::processEvents();
    }

    // File mode, and the Pickup Record window open over it.
    FrmPickupRecord* openPickupRecord()
    {
        child<QRadioButton>("optYomikomi")->click();
        child<QAction>("mnuToolPickupRecord")->trigger();
        QApplication::processEvents();
        return window.findChild<PickupRecordTool*>()->window();
    }

    // A condition typed into one of Pickup Record's lists ("InAND", "OutOR", …) as a user does.
    static void addCondition(FrmPickupRecord* tool, const char* list, const char* column, const char* phrase)
    {
        const QString name = QLatin1String(list);
        tool->findChild<QLineEdit*>(QStringLiteral("txt") + name + QStringLiteral("No"))
            ->setText(QLatin1String(column));
        tool->findChild<QLineEdit*>(QStringLiteral("txt") + name + QStringLiteral("Goku"))
            ->setText(QLatin1String(phrase));
        tool->findChild<QPushButton*>(QStringLiteral("cmd") + name + QStringLiteral("Tuika"))->click();
    }

    std::string settingsFile(bool keepRecords)
    {
        const std::string path = folder.filePath(QStringLiteral("kujitan.ini")).toStdString();
        if (!keepRecords)
            Settings(path).writeKeepRecords(false);
        return path;
    }

    test::ScriptedPlatform platform;
    SystemSeedSource seeds;
    HelpService help { platform };
    QTemporaryDir folder;
    FrmMain window;
};

} // namespace kuji::bench
