#include "support/MainWindowFixture.h"

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
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

} // namespace kuji::test
