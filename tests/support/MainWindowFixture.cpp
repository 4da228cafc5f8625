#include "support/MainWindowFixture.h"

#include <QLineEdit>

namespace kuji::test {

void MainWindowFixture::typeSettings(const QString& min, const QString& max, const QString& count)
{
    QTest::keyClicks(child<QLineEdit>("txtSaisyo"), min);
    QTest::keyClicks(child<QLineEdit>("txtSaidai"), max);
    QTest::keyClicks(child<QLineEdit>("txtTyusen"), count);
}

}  // namespace kuji::test
