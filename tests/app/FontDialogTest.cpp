#include "dialogs/TFontDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QPushButton* okButton(TFontDialog& dialog)
{
    return dialog.findChild<QPushButton*>(QStringLiteral("ButtonOk"));
}

QString current(const QListWidget* list)
{
    return list->currentItem() ? list->currentItem()->text() : QString();
}

} // namespace

TEST(FontDialog, ShowsWhatItIsGivenAndHandsBackWhatIsChosen)
{
    TCharacterFormat given;
    given.Name = QStringLiteral("DejaVu Sans");
    given.Size = 14;
    given.Color = QColor(1, 2, 3);
    given.Bold = given.Italic = given.Underline = true;
    TFontDialog dialog(nullptr, given);
    EXPECT_EQ(dialog.windowTitle(), "Font");
    EXPECT_EQ(dialog.chosen(), given) << "confirmed unchanged, it hands back what it showed";
    EXPECT_EQ(dialog.FontName->text(), "DejaVu Sans");
    EXPECT_EQ(current(dialog.FontNames), "DejaVu Sans");
    EXPECT_EQ(current(dialog.FontStyles), "Bold Italic");
    EXPECT_EQ(current(dialog.FontSizes), "14");
    EXPECT_TRUE(dialog.Underline->isChecked());
    EXPECT_FALSE(dialog.StrikeOut->isChecked());
    // A colour outside the list gets an entry of its own; a listed one is picked from the list.
    EXPECT_EQ(dialog.FontColor->currentText(), "Custom (#010203)");
    const int colours = dialog.FontColor->count();
    dialog.setColor(QColor(255, 0, 0));
    EXPECT_EQ(dialog.FontColor->currentText(), "Red");
    EXPECT_EQ(dialog.FontColor->count(), colours);
    EXPECT_EQ(dialog.chosen().Color, QColor(255, 0, 0));

    // The sample shows the choice.
    EXPECT_EQ(dialog.Sample->font().family(), "DejaVu Sans");
    EXPECT_EQ(dialog.Sample->font().pointSize(), 14);
    EXPECT_TRUE(dialog.Sample->font().bold() && dialog.Sample->font().underline());
    EXPECT_EQ(dialog.Sample->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // Choosing in the lists fills the fields, and the sample follows.
    dialog.FontSizes->setCurrentRow(0);
    EXPECT_EQ(dialog.FontSize->text(), "8");
    dialog.FontStyles->setCurrentRow(0);
    dialog.StrikeOut->setChecked(true);
    const QList<QListWidgetItem*> mono =
        dialog.FontNames->findItems(QStringLiteral("DejaVu Sans Mono"), Qt::MatchFixedString);
    ASSERT_FALSE(mono.isEmpty());
    dialog.FontNames->setCurrentItem(mono.first());
    EXPECT_EQ(dialog.FontName->text(), "DejaVu Sans Mono");
    const TCharacterFormat chosen = dialog.chosen();
    EXPECT_EQ(chosen.Name, "DejaVu Sans Mono");
    EXPECT_EQ(chosen.Size, 8);
    EXPECT_FALSE(chosen.Bold || chosen.Italic);
    EXPECT_TRUE(chosen.StrikeOut && chosen.Underline);
    EXPECT_TRUE(chosen.FixedPitch) << "a fixed-pitch family";
    EXPECT_EQ(dialog.Sample->font().pointSize(), 8);
    EXPECT_TRUE(dialog.Sample->font().strikeOut());
    EXPECT_FALSE(dialog.Sample->font().bold());
}

TEST(FontDialog, TypedNamesAndSizesAreCheckedAsTheyAreTyped)
{
    TCharacterFormat given;
    given.Name = QStringLiteral("A Font From Elsewhere");
    TFontDialog dialog(nullptr, given);
    dialog.show();
    // A name from a file that this computer lacks is kept, and said so.
    EXPECT_TRUE(dialog.Remark->text().contains("not installed"))
        << dialog.Remark->text().toStdString();
    EXPECT_EQ(dialog.chosen().Name, "A Font From Elsewhere");
    EXPECT_TRUE(okButton(dialog)->isEnabled());

    // Typing finds the family in the list; an installed one is handed back as it is spelt.
    dialog.FontName->clear();
    QTest::keyClicks(dialog.FontName, "dejavu sans");
    EXPECT_EQ(current(dialog.FontNames).left(11), "DejaVu Sans");
    EXPECT_EQ(dialog.chosen().Name, "DejaVu Sans");
    EXPECT_TRUE(dialog.Remark->text().isEmpty()) << dialog.Remark->text().toStdString();

    // Sizes a file cannot hold keep OK from closing the dialog, and the reason shows.
    for (const char* bad : {"", "0", "1639", "abc"}) {
        dialog.FontSize->setText(QString::fromLatin1(bad));
        EXPECT_FALSE(okButton(dialog)->isEnabled()) << bad;
        EXPECT_TRUE(dialog.Remark->text().contains("1 to 1638")) << bad;
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible()) << bad;
        EXPECT_EQ(dialog.chosen().Size, 12) << "the size shown before stays the one handed back";
    }
    dialog.FontSize->clear();
    QTest::keyClicks(dialog.FontSize, "1638");
    EXPECT_TRUE(okButton(dialog)->isEnabled());
    EXPECT_EQ(dialog.chosen().Size, 1638);

    // Without a name there is nothing to choose.
    dialog.FontName->clear();
    QTest::keyClicks(dialog.FontName, " ");
    EXPECT_FALSE(okButton(dialog)->isEnabled());
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());

    QTest::keyClicks(dialog.FontName, "DejaVu Serif");
    QTest::mouseClick(okButton(dialog), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}
