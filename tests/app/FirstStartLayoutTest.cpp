// What a new user sees at a first start: the Quick List's dates and the About box's lines in
// full, whatever the locale and the font.
#include "AppFixture.h"

#include "app/TQuickListBox.h"
#include "dialogs/TAboutBox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>

namespace {

// Restores the locale and the font a test changed, however it ends.
struct TLocaleAndFont
{
    QLocale locale;
    QFont font = QApplication::font();
    ~TLocaleAndFont()
    {
        QLocale::setDefault(locale);
        QApplication::setFont(font);
    }
};

} // namespace

class FirstStartLayoutTest : public AppFixture
{
protected:
    // An entry for every day of 2026, so that every month meets every weekday.
    void writeYearOfEntries()
    {
        QDir().mkpath(docs("Backup"));
        for (QDate d(2026, 1, 1); d.year() == 2026; d = d.addDays(1))
            writeFile(docs(d.toString("'jx'yyyyMMdd'.rtf'")), rtfWith("x"));
    }

    // The widest line of the Quick List against the room its list gives the text.
    void expectEveryLineInFull(const char* where)
    {
        QCoreApplication::processEvents();
        QListView* list = form->ListBoxQL;
        ASSERT_TRUE(list->isVisible()) << where;
        ASSERT_GE(form->ListBoxQL->count(), 365) << where;
        ASSERT_TRUE(list->verticalScrollBar()->isVisible()) << where;
        int widest = 0;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            widest = std::max(widest, list->sizeHintForIndex(list->model()->index(row, 0)).width());
        EXPECT_LE(widest, list->viewport()->width()) << where;
    }
};

TEST_F(FirstStartLayoutTest, TheQuickListShowsTheLongestDateInFullUnlessAWidthIsStored)
{
    const TLocaleAndFont restore;
    writeYearOfEntries();
    const QString firstStart = "[Quick List]\nIs Open=1\nCurrent Filter Index=1\n";
    for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedKingdom),
                                  QLocale(QLocale::German, QLocale::Germany),
                                  QLocale(QLocale::Portuguese, QLocale::Brazil)}) {
        QLocale::setDefault(locale);
        writeFile(ini(), firstStart.toUtf8());
        start();
        expectEveryLineInFull(qPrintable(locale.name()));
        stop();
    }

    // A larger font needs more room still.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    QFont large = restore.font;
    large.setPointSize(restore.font.pointSize() + 4);
    QApplication::setFont(large);
    writeFile(ini(), firstStart.toUtf8());
    start();
    expectEveryLineInFull("larger font");
    stop();
    QApplication::setFont(restore.font);

    // The width the user left is kept, narrow or not, and saved as it is.
    writeFile(ini(), (firstStart + "Width=210\n").toUtf8());
    start();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->SideBar->width(), 210);
    stop();
    EXPECT_TRUE(readFile(ini()).contains("Width=210"));
    writeFile(ini(), (firstStart + "Width=140\n").toUtf8());
    start();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->SideBar->width(), 140);
}

TEST_F(FirstStartLayoutTest, TheWholeToolBarShowsBesideTheDateControlInEveryLocale)
{
    const TLocaleAndFont restore;
    for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedKingdom),
                                  QLocale(QLocale::German, QLocale::Germany),
                                  QLocale(QLocale::Portuguese, QLocale::Brazil)}) {
        QLocale::setDefault(locale);
        start();
        QCoreApplication::processEvents();
        auto* toolBar = form->findChild<QToolBar*>("ToolBar2");
        ASSERT_NE(toolBar, nullptr);
        QStringList hidden;
        for (QAction* action : toolBar->actions())
            if (!action->isSeparator() && !toolBar->widgetForAction(action)->isVisible())
                hidden << action->objectName();
        // A screen narrower than the tool row (the test screen is 800 pixels wide; long dates
        // in Portuguese need more) gets a window as wide as the screen, never narrower.
        const int screen = QGuiApplication::primaryScreen()->availableGeometry().width();
        if (form->width() < screen)
            EXPECT_TRUE(hidden.isEmpty())
                << locale.name().toStdString() << ": " << hidden.join(", ").toStdString();
        else
            EXPECT_EQ(form->width(), screen) << locale.name().toStdString();
        EXPECT_GE(form->width(), 734);
        stop();
        QFile::remove(ini());
    }

    // A stored placement wins.
    writeFile(ini(), "[Main Window]\nWidth=640\nHeight=480\nTop=10\nLeft=10\n");
    start();
    EXPECT_EQ(form->width(), 640);
}

TEST_F(FirstStartLayoutTest, EveryLineOfTheAboutBoxShowsInFull)
{
    const TLocaleAndFont restore;
    struct Seen
    {
        QStringList cut;
        QSize size;
    };
    auto openAbout = [this] {
        Seen seen;
        prompter.dialogs.push_back([&seen](QDialog& d) {
            auto& box = dynamic_cast<TAboutBox&>(d);
            box.show();
            QCoreApplication::processEvents();
            const QRect panel = box.Panel1->contentsRect();
            for (QLabel* label : {box.ProductName, box.Version, box.Copyright}) {
                const QSize hint = label->sizeHint();
                if (label->width() < hint.width() || label->height() < hint.height() ||
                    !panel.contains(label->geometry()))
                    seen.cut << label->objectName() + ": " + label->text();
            }
            // The notice: no line wraps, and all five show.
            QTextDocument* notice = box.Memo1->document();
            if (notice->lineCount() != 5 ||
                notice->size().height() > box.Memo1->viewport()->height() ||
                !panel.contains(box.Memo1->geometry()))
                seen.cut << "Memo1";
            if (!box.rect().contains(box.Panel1->geometry()) ||
                !box.rect().contains(box.OKButton->geometry()) ||
                box.OKButton->geometry().intersects(box.Panel1->geometry()))
                seen.cut << "the box";
            seen.size = box.size();
            box.OKButton->click();
            return box.result();
        });
        form->command("miAbout")->trigger();
        return seen;
    };

    start();
    const Seen usual = openAbout();
    EXPECT_TRUE(usual.cut.isEmpty()) << usual.cut.join(", ").toStdString();
    EXPECT_GE(usual.size.width(), 424);
    EXPECT_GE(usual.size.height(), 239);
    stop();

    QFont large = restore.font;
    large.setPointSize(restore.font.pointSize() * 2);
    QApplication::setFont(large);
    start();
    const Seen big = openAbout();
    EXPECT_TRUE(big.cut.isEmpty()) << big.cut.join(", ").toStdString();
    EXPECT_GT(big.size.width(), usual.size.width()) << "the box grows with its texts";
}
