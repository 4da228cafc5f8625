#include "common/ui/FrmAbout.h"
#include "common/VersionInfo.h"
#include "common/ui/Platform.h"
#include "support/ScriptedPlatform.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using kuji::FrmAbout;
using kuji::test::ScriptedPlatform;

namespace {

template <typename T> T* control(const QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

} // namespace

TEST(FrmAbout, ShowsVersionLineAndTheMakersData)
{
    ScriptedPlatform platform;
    FrmAbout about(platform, nullptr);
    EXPECT_EQ(about.objectName(), QStringLiteral("frmAbout"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("バージョン情報"));

    auto* frame = control<QGroupBox>(about, "fraSoftZyoho");
    auto* version = control<QLabel>(about, "lblVersion");
    ASSERT_TRUE(frame && version);
    EXPECT_EQ(version->text(), QString::fromStdString(kuji::currentVersionLine()));
    EXPECT_TRUE(version->text().startsWith(QStringLiteral("くじ丸 Version ")));
    for (const char* name : { "lblVersion", "lblCopyright", "lblKomento" }) {
        auto* label = control<QLabel>(about, name);
        ASSERT_TRUE(label);
        EXPECT_EQ(label->parentWidget(), frame) << name;
        EXPECT_FALSE(label->text().isEmpty()) << name;
    }
    auto* icon = control<QLabel>(about, "picIcon");
    ASSERT_TRUE(icon);
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_EQ(control<QPushButton>(about, "cmdClose")->text(), QStringLiteral("閉じる(&C)"));
}

TEST(FrmAbout, AddressButtonsOpenTheirCaptions)
{
    ScriptedPlatform platform;
    FrmAbout about(platform, nullptr);
    auto* homepage = control<QPushButton>(about, "cmdMyHomepage");
    auto* mail = control<QPushButton>(about, "cmdMyMail");
    ASSERT_TRUE(homepage && mail);
    EXPECT_EQ(homepage->text(), QStringLiteral("https://kujimaru.example.org/"));
    EXPECT_EQ(mail->text(), QStringLiteral("support@kujimaru.example.org"));

    homepage->click();
    mail->click();
    EXPECT_EQ(platform.openedUrls, QStringList({ homepage->text(), QStringLiteral("mailto:") + mail->text() }));
    EXPECT_TRUE(platform.messages.empty()); // what the desktop did with them is not reported

    // Without a browser or mail program the desktop opens nothing: the user is told so.
    platform.openUrlResult = false;
    homepage->click();
    mail->click();
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].request.text,
        "Error:ホームページを開くブラウザが設定されていません。\r\n       https://kujimaru.example.org/");
    EXPECT_EQ(platform.messages[1].request.text,
        "Error:メールを送るソフトウェアが設定されていません。\r\n       support@kujimaru.example.org");
    EXPECT_EQ(platform.messages[1].request.title, "エラー");
    EXPECT_EQ(platform.messages[1].request.icon, QMessageBox::Critical);
}

TEST(FileDialogs, PatternsMatchNamesInAnyCase)
{
    EXPECT_EQ(kuji::caseInsensitiveFilter(QStringLiteral("*.csv;*.txt (*.csv *.txt);;全ファイル (*)")),
        QStringLiteral("*.csv;*.txt (*.[cC][sS][vV] *.[tT][xX][tT]);;全ファイル (*)"));
    EXPECT_EQ(kuji::caseInsensitiveFilter(QStringLiteral("*.pdf (*.pdf)")), QStringLiteral("*.pdf (*.[pP][dD][fF])"));
}

TEST(FrmAbout, CloseButtonEndsTheDialog)
{
    ScriptedPlatform platform;
    FrmAbout about(platform, nullptr);
    about.show();
    control<QPushButton>(about, "cmdClose")->click();
    EXPECT_FALSE(about.isVisible());
}

TEST(FrmAbout, CentresOverItsOwner)
{
    ScriptedPlatform platform;
    QWidget owner;
    FrmAbout about(platform, &owner);
    const QSize size = about.frameGeometry().size();
    ASSERT_GT(size.width(), 0);

    owner.setGeometry(100, 200, 800, 600);
    about.centreOver(&owner);
    EXPECT_EQ(
        about.frameGeometry().topLeft(), QPoint(100 + 800 / 2 - size.width() / 2, 200 + 600 / 2 - size.height() / 2));

    // A small owner near the screen's corner puts the dialog partly before it, as the rule says.
    owner.setGeometry(0, 0, 101, 51);
    about.centreOver(&owner);
    EXPECT_EQ(about.frameGeometry().topLeft(), QPoint(50 - size.width() / 2, 25 - size.height() / 2));
}
