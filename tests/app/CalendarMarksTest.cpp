#include "AppFixture.h"
#include "app/TEntryCalendar.h"
#include "app/TQuickListBox.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QImage>
#include <QPainter>

namespace {

// Paints single cells, as the calendar's view would, for a look at them.
class TCellPainter : public TEntryCalendar
{
public:
    using TEntryCalendar::TEntryCalendar;
    QImage cell(QDate date) const
    {
        QImage image(40, 24, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        paintCell(&painter, image.rect(), date);
        return image;
    }
};

// How much darker than white the cell is: more for bold text.
int ink(const QImage& image)
{
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += 255 - qGray(image.pixel(x, y));
    return dark;
}

// Non-white pixels on the cell's border ring, where today's frame is drawn.
int ring(const QImage& image)
{
    int coloured = 0;
    for (int x = 1; x < image.width() - 1; ++x)
        coloured += (image.pixel(x, 1) != qRgb(255, 255, 255)) +
                    (image.pixel(x, image.height() - 2) != qRgb(255, 255, 255));
    return coloured;
}

} // namespace

TEST(EntryCalendar, MarksStoredDaysInBoldFramesTodayAndLooksUpEachMonthOnce)
{
    QList<int> asked; // year * 100 + month of every lookup
    quint32 december = (1u << 11) | (1u << 20);
    TCellPainter calendar(
        [&](int year, int month) {
            asked << year * 100 + month;
            return year == 2026 && month == 12 ? december : 0u;
        },
        [] { return QDate(2026, 12, 20); });
    calendar.setSelectedDate(QDate(2026, 12, 3));
    calendar.resize(320, 220);
    calendar.show();

    EXPECT_TRUE(calendar.hasEntry(QDate(2026, 12, 11)));
    EXPECT_FALSE(calendar.hasEntry(QDate(2026, 12, 12)));
    EXPECT_FALSE(calendar.hasEntry(QDate(2026, 11, 11)));
    EXPECT_FALSE(calendar.hasEntry(QDate()));

    // Painting the month shown (with the ends of its neighbours) looks each month up once.
    asked.clear();
    calendar.refreshMarks();
    calendar.grab();
    calendar.grab();
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, QList<int>({202611, 202612, 202701}));
    asked.clear();
    calendar.showNextMonth();
    calendar.grab();
    EXPECT_EQ(asked, QList<int>({202702})) << "only the month that came into view";
    calendar.showPreviousMonth();

    const QImage stored = calendar.cell(QDate(2026, 12, 11));
    const QImage storedToday = calendar.cell(QDate(2026, 12, 20));
    december = 0;
    calendar.refreshMarks();
    const QImage plain = calendar.cell(QDate(2026, 12, 11));
    const QImage plainToday = calendar.cell(QDate(2026, 12, 20));
    EXPECT_GT(ink(stored), ink(plain) * 5 / 4) << "a stored day is bold";
    EXPECT_EQ(ring(plain), 0) << "only today is framed";
    EXPECT_GT(ring(plainToday), 40);
    EXPECT_GT(ink(storedToday), ink(plainToday) + ink(plain) / 5) << "today with an entry is bold";
    // Days of the neighbouring months are greyed, whether marked or not.
    EXPECT_LT(ink(calendar.cell(QDate(2026, 11, 30))), ink(plain) * 3 / 4);
    EXPECT_NE(calendar.cell(QDate(2026, 12, 3)).pixel(2, 2), qRgb(255, 255, 255))
        << "the chosen day is highlighted";
}

class CalendarMarksTest : public AppFixture
{
protected:
    void SetUp() override
    {
        QDir().mkpath(docs("Backup"));
        writeFile(docs("jx20261201.rtf"), rtfWith("first"));
        writeFile(docs("jx20261130.rtf"), rtfWith("end of November"));
    }
};

TEST_F(CalendarMarksTest, TheDateControlsCalendarFollowsSavesDeletionsAndOtherPrograms)
{
    start();
    TEntryCalendar* calendar = form->EntryCalendar;
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(form->datePicker()->calendarWidget(), calendar);
    EXPECT_TRUE(calendar->hasEntry(QDate(2026, 12, 1)));
    EXPECT_TRUE(calendar->hasEntry(QDate(2026, 11, 30)));
    EXPECT_FALSE(calendar->hasEntry(QDate(2026, 12, 7)))
        << "today, opened and still without text, has a file but no entry";

    type("written today");
    EXPECT_FALSE(calendar->hasEntry(QDate(2026, 12, 7))) << "not saved yet";
    form->command("FileSave")->trigger();
    calendar->refreshMarks();
    EXPECT_TRUE(calendar->hasEntry(QDate(2026, 12, 7)));

    // Showing the calendar again looks again: a file removed by another program loses its mark.
    QFile::remove(docs("jx20261201.rtf"));
    writeFile(docs("jx20261224.rtf"), rtfWith("added elsewhere"));
    QDateEdit* picker = form->datePicker();
    QTest::mouseClick(picker, Qt::LeftButton, {},
                      QPoint(picker->width() - 6, picker->height() / 2));
    ASSERT_TRUE(calendar->isVisible()) << "the arrow opens the calendar";
    EXPECT_FALSE(calendar->hasEntry(QDate(2026, 12, 1)));
    EXPECT_TRUE(calendar->hasEntry(QDate(2026, 12, 24)));
    QTest::keyClick(calendar, Qt::Key_Escape);
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2026, 12, 7));

    // Emptying today's entry removes its file, and its mark.
    replaceText("");
    form->command("FileSave")->trigger();
    calendar->refreshMarks();
    EXPECT_FALSE(calendar->hasEntry(QDate(2026, 12, 7)));
}

class OnThisDayTest : public AppFixture
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        QDir().mkpath(docs("Backup"));
        for (const char* name : {"jx20201207.rtf", "jx20251207.rtf", "jx20241206.rtf",
                                 "jx20271207.rtf", "jx20261201.rtf"})
            writeFile(docs(name), rtfWith(QString::fromLatin1(name)));
    }
    QStringList lines() { return form->ListBoxQL->lines(); }
    static QString longDate(int y, int m, int d)
    {
        return QLocale().toString(QDate(y, m, d), QLocale::LongFormat);
    }
};

TEST_F(OnThisDayTest, ListsTheDayInEarlierYearsNewestFirstAndOpensTheLineChosen)
{
    start();
    form->command("GotoQuickList")->trigger();
    ASSERT_EQ(form->ComboBoxQL->count(), 5);
    EXPECT_EQ(form->ComboBoxQL->itemText(4), "On This Day");
    form->ComboBoxQL->setCurrentIndex(4);
    form->ComboBoxQLChange();
    EXPECT_EQ(lines(), QStringList({longDate(2025, 12, 7), longDate(2020, 12, 7)}));
    EXPECT_TRUE(form->ListBoxQL->selectedLine().isEmpty());

    type("today's words ");
    form->ListBoxQL->setCurrentRow(1);
    form->ListBoxQLClick(1);
    EXPECT_EQ(form->journal()->CurrentDate, QDate(2020, 12, 7));
    EXPECT_TRUE(editor().toPlainText().contains("jx20201207.rtf"));
    EXPECT_TRUE(readFile(docs("jx20261207.rtf")).contains("today's words")) << "saved first";
    EXPECT_TRUE(lines().isEmpty()) << "nothing was written on 7 December before 2020";

    form->GoToDate(QDate(2028, 12, 7));
    EXPECT_EQ(lines(), QStringList({longDate(2027, 12, 7), longDate(2026, 12, 7),
                                    longDate(2025, 12, 7), longDate(2020, 12, 7)}));
}

TEST_F(OnThisDayTest, TheFilterIsKeptAsIndexFourAndOlderIndexesStillWork)
{
    writeFile(ini(), "[Quick List]\nIs Open=1\nCurrent Filter Index=4\n");
    start();
    EXPECT_EQ(form->ComboBoxQL->currentText(), "On This Day");
    EXPECT_EQ(lines().size(), 2);
    stop();
    EXPECT_TRUE(QString::fromUtf8(readFile(ini())).contains("Current Filter Index=4"));

    writeFile(ini(), "[Quick List]\nIs Open=1\nCurrent Filter Index=3\n");
    writeFile(docs("kw_Work.rtf"), rtfWith("work"));
    start();
    EXPECT_EQ(form->ComboBoxQL->currentText(), "Keywords");
    EXPECT_EQ(lines(), QStringList{"Work"});
    stop();

    // An index no version wrote selects no filter, which lists every entry.
    writeFile(ini(), "[Quick List]\nIs Open=1\nCurrent Filter Index=5\n");
    start();
    EXPECT_EQ(form->ComboBoxQL->currentIndex(), -1);
    EXPECT_EQ(lines().size(), 6);
}
