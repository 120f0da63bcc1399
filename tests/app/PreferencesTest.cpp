#include "AppFixture.h"

#include "dialogs/TFormPreferences.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// What tells a rewrite of the settings file apart from no write at all: the bytes, the
// modification time and the inode (an atomic replace always brings a new one).
struct FileState
{
    QByteArray bytes;
    qint64 mtimeNs = 0;
    quint64 inode = 0;
    bool operator==(const FileState&) const = default;
};

FileState stateOf(const QString& path)
{
    FileState state;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        state.bytes = f.readAll();
#ifdef Q_OS_UNIX
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        state.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        state.inode = st.st_ino;
    }
#else
    state.mtimeNs = QFileInfo(path).lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return state;
}

TFormPreferences& options(QDialog& dialog)
{
    return dynamic_cast<TFormPreferences&>(dialog);
}

} // namespace

class PreferencesTest : public AppFixture
{
protected:
    // Known, distinct values in the window and on disk before each exchange.
    void startWithKnownValues()
    {
        start();
        form->LeftMargin = 10;
        form->RightMargin = 11;
        form->TopMargin = 12;
        form->BottomMargin = 13;
        form->PrintTabNameInHeader = true;
        form->PrintPageNumberInFooter = false;
        form->ShortDateFormat = false;
        form->IncludeTimeInInsert = false;
        form->SaveSettings();
    }

    void expectKnownValues()
    {
        EXPECT_EQ(form->LeftMargin, 10);
        EXPECT_EQ(form->RightMargin, 11);
        EXPECT_EQ(form->TopMargin, 12);
        EXPECT_EQ(form->BottomMargin, 13);
        EXPECT_TRUE(form->PrintTabNameInHeader);
        EXPECT_FALSE(form->PrintPageNumberInFooter);
        EXPECT_FALSE(form->ShortDateFormat);
        EXPECT_FALSE(form->IncludeTimeInInsert);
        EXPECT_EQ(editor().defaultFont().family(), "Arial");
        EXPECT_EQ(editor().defaultFont().pointSize(), 12);
    }

    void runOptions(std::function<int(TFormPreferences&)> script)
    {
        prompter.dialogs.push_back([script](QDialog& d) { return script(options(d)); });
        form->command("ToolsPreferences")->trigger();
    }
};

TEST_F(PreferencesTest, OpensOnPrintingFilledFromTheWindow)
{
    startWithKnownValues();
    QAction* command = form->command("ToolsPreferences");
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->shortcut(), QKeySequence(Qt::Key_F2));

    bool ran = false;
    runOptions([&](TFormPreferences& d) {
        ran = true;
        EXPECT_EQ(d.windowTitle(), "Options");
        EXPECT_EQ(d.PageControl->currentWidget(), d.TSPrinting);
        EXPECT_EQ(d.PageControl->tabText(0), "General");
        EXPECT_EQ(d.PageControl->tabText(1), "Printing");
        EXPECT_EQ(d.mMarginLeft->text(), "10");
        EXPECT_EQ(d.mMarginRight->text(), "11");
        EXPECT_EQ(d.mMarginTop->text(), "12");
        EXPECT_EQ(d.mMarginBottom->text(), "13");
        EXPECT_TRUE(d.mPrintTabName->isChecked());
        EXPECT_FALSE(d.mPrintPageNumbers->isChecked());
        EXPECT_FALSE(d.CB_ShortDateFormat->isChecked());
        EXPECT_EQ(d.CB_IncludeTimeInInsert->text(), "Include Time");
        EXPECT_EQ(d.L_DefaultFont->text(), "Arial, 12pt");
        EXPECT_TRUE(d.ButtonOK->isDefault());
        EXPECT_EQ(d.ButtonOK->text(), "&OK");
        EXPECT_EQ(d.ButtonCancel->text(), "&Cancel");
        // A changed box must not leak into the next opening.
        d.mMarginLeft->setText("99");
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(ran);
    runOptions([](TFormPreferences& d) {
        EXPECT_EQ(d.mMarginLeft->text(), "10");
        EXPECT_EQ(d.PageControl->currentWidget(), d.TSPrinting);
        return int(QDialog::Rejected);
    });
}

TEST_F(PreferencesTest, EscapeFromAnyControlCancelsAndChangesNothing)
{
    startWithKnownValues();
    const FileState before = stateOf(ini());

    QStringList closedFrom;
    for (const char* control :
         {"mMarginLeft", "mMarginBottom", "mPrintTabName", "PageControl", "Button1"}) {
        prompter.fonts.push_back(QFont("Courier New", 20));
        runOptions([&](TFormPreferences& d) {
            // Change everything first: none of it may reach the window.
            d.Button1Click();
            d.mMarginLeft->setText("1");
            d.mMarginTop->setText("2");
            d.mPrintTabName->setChecked(false);
            d.CB_ShortDateFormat->setChecked(true);
            d.CB_IncludeTimeInInsert->setChecked(true);
            d.show();
            QWidget* target = d.findChild<QWidget*>(control);
            if (QString(control) == "PageControl")
                target = d.PageControl->tabBar();
            EXPECT_NE(target, nullptr) << control;
            if (!target)
                return int(QDialog::Rejected);
            d.setResult(-1); // so that only Escape can make it Rejected
            QTest::keyClick(target, Qt::Key_Escape);
            if (!d.isVisible() && d.result() == QDialog::Rejected)
                closedFrom << control;
            return d.result();
        });
    }
    EXPECT_EQ(closedFrom, (QStringList{"mMarginLeft", "mMarginBottom", "mPrintTabName",
                                       "PageControl", "Button1"}));
    expectKnownValues();
    EXPECT_TRUE(prompter.texts("error").isEmpty());
    EXPECT_TRUE(stateOf(ini()) == before) << "a cancelled dialog must not write jornix.ini";
}

TEST_F(PreferencesTest, BadMarginStopsTheCopyBackWithoutSaving)
{
    startWithKnownValues();
    const FileState before = stateOf(ini());

    runOptions([](TFormPreferences& d) {
        d.CB_ShortDateFormat->setChecked(true);
        d.mMarginLeft->setText("2");
        d.mMarginRight->setText("x");
        d.mMarginTop->setText("30");
        d.mMarginBottom->setText("40");
        d.mPrintTabName->setChecked(false);
        d.mPrintPageNumbers->setChecked(true);
        return int(QDialog::Accepted);
    });

    EXPECT_EQ(prompter.texts("error"), QStringList{"'x' is not a valid integer value."});
    EXPECT_TRUE(form->ShortDateFormat) << "the check boxes come before the margins";
    EXPECT_EQ(form->LeftMargin, 2) << "the margin read before the bad one is taken";
    EXPECT_EQ(form->RightMargin, 11);
    EXPECT_EQ(form->TopMargin, 12);
    EXPECT_EQ(form->BottomMargin, 13);
    EXPECT_TRUE(form->PrintTabNameInHeader);
    EXPECT_FALSE(form->PrintPageNumberInFooter);
    EXPECT_TRUE(stateOf(ini()) == before) << "the failed exchange must not save";

    // Texts a margin box may hold but that are no integer.
    for (const char* bad : {"", "1.5", "2cm", " 3", "4 ", "0x10", "99999999999"}) {
        prompter.clear();
        runOptions([bad](TFormPreferences& d) {
            d.mMarginBottom->setText(bad);
            return int(QDialog::Accepted);
        });
        EXPECT_EQ(prompter.texts("error"),
                  QStringList{QString("'%1' is not a valid integer value.").arg(bad)});
        EXPECT_EQ(form->BottomMargin, 13) << bad;
    }
    EXPECT_TRUE(stateOf(ini()) == before);
}

TEST_F(PreferencesTest, MarginsZeroAndNegativeAreTakenAndSaved)
{
    startWithKnownValues();
    runOptions([](TFormPreferences& d) {
        d.mMarginLeft->setText("0");
        d.mMarginRight->setText("+5");
        d.mMarginTop->setText("-1");
        d.mMarginBottom->setText("-0");
        d.mPrintTabName->setChecked(false);
        d.mPrintPageNumbers->setChecked(true);
        d.CB_ShortDateFormat->setChecked(true);
        d.CB_IncludeTimeInInsert->setChecked(true);
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(prompter.texts("error").isEmpty());
    EXPECT_EQ(form->LeftMargin, 0);
    EXPECT_EQ(form->RightMargin, 5);
    EXPECT_EQ(form->TopMargin, -1);
    EXPECT_EQ(form->BottomMargin, 0);

    const QByteArray saved = readFile(ini());
    EXPECT_TRUE(saved.contains("Left Margin=0")) << saved.constData();
    EXPECT_TRUE(saved.contains("Right Margin=5"));
    EXPECT_TRUE(saved.contains("Top Margin=-1"));
    EXPECT_TRUE(saved.contains("Bottom Margin=0"));
    EXPECT_TRUE(saved.contains("Print Tab Name In Header=0"));
    EXPECT_TRUE(saved.contains("Print Page Number In Footer=1"));
    EXPECT_TRUE(saved.contains("Short Date Format=1"));
    EXPECT_TRUE(saved.contains("Include Time In Insert=1"));
}

TEST_F(PreferencesTest, ChosenFontSavesOnlyItsNameAndSize)
{
    startWithKnownValues();
    QFont chosen("Times New Roman", 14);
    chosen.setBold(true);
    chosen.setItalic(true);
    prompter.fonts.push_back(std::nullopt); // first try: the user cancels the font dialog
    prompter.fonts.push_back(chosen);
    QString afterCancel, afterChoice;
    runOptions([&](TFormPreferences& d) {
        d.Button1Click();
        afterCancel = d.L_DefaultFont->text();
        d.Button1Click();
        afterChoice = d.L_DefaultFont->text();
        EXPECT_TRUE(d.dialogFont().bold()) << "the dialog keeps the whole font";
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(prompter.texts("font"), (QStringList{"Arial", "Arial"}));
    EXPECT_EQ(afterCancel, "Arial, 12pt");
    EXPECT_EQ(afterChoice, "Times New Roman, 14pt");

    EXPECT_EQ(editor().defaultFont().family(), "Times New Roman");
    EXPECT_EQ(editor().defaultFont().pointSize(), 14);
    EXPECT_FALSE(editor().defaultFont().bold());
    EXPECT_FALSE(editor().defaultFont().italic());
    const QByteArray saved = readFile(ini());
    EXPECT_TRUE(saved.contains("Font Name=Times New Roman")) << saved.constData();
    EXPECT_TRUE(saved.contains("Font Size=14"));
    EXPECT_FALSE(saved.contains("Bold")) << saved.constData();
    EXPECT_FALSE(saved.contains("Italic"));
    EXPECT_EQ(saved.count("Font"), 2) << "nothing else of the font is written";

    // The next opening starts from the editor's font, without the bold.
    runOptions([](TFormPreferences& d) {
        EXPECT_EQ(d.L_DefaultFont->text(), "Times New Roman, 14pt");
        EXPECT_FALSE(d.dialogFont().bold());
        return int(QDialog::Rejected);
    });
}

TEST(PreferencesMarginValue, OnlyWholeDecimalIntegers)
{
    EXPECT_EQ(TFormPreferences::marginValue("0"), 0);
    EXPECT_EQ(TFormPreferences::marginValue("-1"), -1);
    EXPECT_EQ(TFormPreferences::marginValue("+7"), 7);
    EXPECT_EQ(TFormPreferences::marginValue("007"), 7);
    EXPECT_EQ(TFormPreferences::marginValue("2147483647"), 2147483647);
    EXPECT_EQ(TFormPreferences::marginValue("-2147483648"), -2147483647 - 1);
    const QStringList bad{"",
                          "-",
                          "+",
                          "1.5",
                          "2cm",
                          " 3",
                          "3 ",
                          "1e3",
                          "2147483648",
                          QString::fromUtf8("\u0663"),
                          QString::fromUtf8("\uFF13")};
    for (const QString& text : bad)
        EXPECT_FALSE(TFormPreferences::marginValue(text).has_value()) << text.toStdString();
}
