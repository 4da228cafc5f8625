#include "support/MainWindowFixture.h"

#include "app/ui/DrawRecording.h"
#include "entries/ui/FileModeCommands.h"

#include <QFile>
#include <QLineEdit>

namespace kuji::test {

void MainWindowFixture::typeSettings(const QString& min, const QString& max, const QString& count)
{
    QTest::keyClicks(child<QLineEdit>("txtSaisyo"), min);
    QTest::keyClicks(child<QLineEdit>("txtSaidai"), max);
    QTest::keyClicks(child<QLineEdit>("txtTyusen"), count);
}

QString MainWindowFixture::writeFile(const QString& name, const QByteArray& bytes) const
{
    const QString path = QString::fromStdString(pathOf(name.toStdString()));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

void MainWindowFixture::waitIdle()
{
    // A draw of ten million values takes a few seconds on a slow machine.
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return !window->longWork().isRunning() && !window->drawRecording().isWriting(); }, 60000));
}

void MainWindowFixture::readEntryFile(const QString& path)
{
    window->fileModeCommands().readEntryFile(path);
    waitIdle();
}

} // namespace kuji::test
