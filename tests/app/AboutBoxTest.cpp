#include "AppFixture.h"

#include "dialogs/TAboutBox.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

namespace {

struct AboutSeen
{
    QString caption, product, version, copyright, notice;
    bool okDefault = false;
    bool noticeTakesFocus = true;
    bool noticeEditable = true;
};

} // namespace

class AboutBoxTest : public AppFixture
{
protected:
    // The fixture's program file is <program folder>/jornix: put a real program file there.
    void installProgram(const QString& builtFile)
    {
        QFile::remove(environment().programFilePath);
        ASSERT_TRUE(QFile::copy(builtFile, environment().programFilePath))
            << builtFile.toStdString();
    }

    AboutSeen openAbout()
    {
        AboutSeen seen;
        prompter.dialogs.push_back([&seen](QDialog& d) {
            auto& box = dynamic_cast<TAboutBox&>(d);
            seen.caption = box.windowTitle();
            seen.product = box.ProductName->text();
            seen.version = box.Version->text();
            seen.copyright = box.Copyright->text();
            seen.notice = box.Memo1->toPlainText();
            seen.okDefault = box.OKButton->isDefault() && box.OKButton->text() == "OK";
            seen.noticeTakesFocus = box.Memo1->focusPolicy() != Qt::NoFocus;
            seen.noticeEditable = !box.Memo1->isReadOnly();
            box.OKButton->click();
            return box.result();
        });
        form->command("miAbout")->trigger();
        return seen;
    }
};

TEST_F(AboutBoxTest, ShowsTheVersionOfTheProgramFileAsItIsNow)
{
    installProgram(QStringLiteral(JORNIX_PROGRAM));
    start();
    const AboutSeen released = openAbout();
    EXPECT_EQ(released.caption, "About");
    EXPECT_EQ(released.product, "Tarvex's Diary");
    EXPECT_EQ(released.version, "1.1.5");
    EXPECT_TRUE(released.copyright.startsWith(QString::fromUtf8("Copyright \u00A9 ")));
    const QStringList lines = released.notice.split('\n');
    ASSERT_EQ(lines.size(), 5) << released.notice.toStdString();
    EXPECT_TRUE(lines[1].isEmpty());
    EXPECT_TRUE(released.notice.contains("distribute"));
    EXPECT_TRUE(released.notice.contains("warranty"));
    EXPECT_TRUE(released.okDefault);
    EXPECT_FALSE(released.noticeTakesFocus);
    EXPECT_FALSE(released.noticeEditable);
    EXPECT_EQ(prompter.texts("dialog"), QStringList{"AboutBox"});

#ifdef VERSION_FIXTURE_OTHER
    // The box reads the file again at each opening, so a replaced program shows its own record.
    installProgram(QStringLiteral(VERSION_FIXTURE_OTHER));
    EXPECT_EQ(openAbout().version, "2.3.0.7 (Pre-Release, Special, Private Build)");
#endif

    // A program file without a record still gets its box, with no version text.
    writeFile(environment().programFilePath, QByteArray("#!/bin/sh\nexit 0\n"));
    const AboutSeen unreadable = openAbout();
    EXPECT_EQ(unreadable.product, "Tarvex's Diary");
    EXPECT_EQ(unreadable.version, "");
    QFile::remove(environment().programFilePath);
    EXPECT_EQ(openAbout().version, "");
    EXPECT_TRUE(prompter.texts("error").isEmpty());
}
