#include "RtfTestSupport.h"

#include "rtf/DocumentFile.h"
#include "rtf/RtfObjectHandlers.h"
#include "rtf/RtfObjects.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

#include <gtest/gtest.h>

using namespace rtftest;

namespace {

struct TObjectSeen
{
    QTextCharFormat format;
    int position = 0;
};

std::vector<TObjectSeen> objectsOf(const QTextDocument& doc)
{
    std::vector<TObjectSeen> found;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().objectType() != QTextFormat::NoObject)
                for (int i = 0; i < it.fragment().length(); ++i)
                    found.push_back({it.fragment().charFormat(), it.fragment().position() + i});
    return found;
}

// The group that opens at the first occurrence of start, up to its matching brace.
QByteArray groupFrom(const QByteArray& rtf, const QByteArray& start)
{
    const qsizetype from = rtf.indexOf(start);
    if (from < 0)
        return {};
    int depth = 0;
    for (qsizetype i = from; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        if (rtf[i] == '{')
            ++depth;
        else if (rtf[i] == '}' && --depth == 0)
            return rtf.mid(from, i + 1 - from);
    }
    return {};
}

QImage decoded(const QTextDocument& doc, const QTextCharFormat& format)
{
    const QVariant resource =
        doc.resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
    return QImage::fromData(resource.toByteArray());
}

// Braces outside escapes and \bin data balance out.
bool balanced(const QByteArray& rtf)
{
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        depth += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
        if (depth < 0)
            return false;
    }
    return depth == 0;
}

const QByteArray Wmf = "0100090000030c0000000000030000000000030000000000";

} // namespace

TEST(RtfObjects, EveryPictureKindIsShownOrKeptAndNothingIsReportedLost)
{
    // The rarer kinds are in a file of their own: LibreOffice refuses to open files with them.
    const QByteArray rtf = sampleBytes("objects.rtf");
    const QByteArray rare = sampleBytes("objects_rare.rtf");
    QTextDocument doc, rareDoc;
    TRtfReadReport report, rareReport;
    ASSERT_TRUE(ReadRtf(rtf, doc, &report));
    ASSERT_TRUE(ReadRtf(rare, rareDoc, &rareReport));
    EXPECT_FALSE(report.lossy()) << report.dropped.join(", ").toStdString();
    EXPECT_FALSE(rareReport.lossy());
    EXPECT_TRUE(doc.toPlainText().startsWith(QString("Before the metafile ") +
                                             QChar::ObjectReplacementCharacter + " after it."));

    auto objects = objectsOf(doc);
    ASSERT_EQ(objects.size(), 6u);
    const auto rareObjects = objectsOf(rareDoc);
    ASSERT_EQ(rareObjects.size(), 3u);
    objects.insert(objects.begin() + 3, rareObjects.begin(), rareObjects.end());
    struct TExpected
    {
        bool image;
        const char* label;
        qreal width, height;
    };
    const TExpected expected[] = {
        {false, "Windows metafile", 60, 40},
        {false, "Enhanced metafile", 36, 36},
        {true, "", 30, 30},
        {true, "", 12, 1.5},
        {false, "Device-dependent bitmap", 1.5, 0.75},
        {false, "Macintosh picture", 7.5, 7.5},
        {false, "Embedded object (Paint.Picture)", 72, 36},
        {false, "Embedded object (Package)", 15, 15},
        {false, "Drawing", 144, 72},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const QTextCharFormat& format = objects[i].format;
        if (expected[i].image) {
            ASSERT_TRUE(format.isImageFormat());
            EXPECT_NEAR(format.toImageFormat().width(), expected[i].width, 0.01);
            EXPECT_NEAR(format.toImageFormat().height(), expected[i].height, 0.01);
        } else {
            ASSERT_TRUE(rtf::isKeptObject(format));
            EXPECT_EQ(rtf::keptObjectLabel(format), expected[i].label);
            EXPECT_NEAR(format.doubleProperty(rtf::KeptWidth), expected[i].width, 0.01);
            EXPECT_NEAR(format.doubleProperty(rtf::KeptHeight), expected[i].height, 0.01);
        }
    }
    // The bitmap comes out the right way up: red and white on top, blue and green below.
    const QImage dib = decoded(doc, objects[2].format);
    ASSERT_EQ(dib.size(), QSize(2, 2));
    EXPECT_EQ(QColor(dib.pixel(0, 0)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(dib.pixel(1, 0)), QColor(255, 255, 255));
    EXPECT_EQ(QColor(dib.pixel(0, 1)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(dib.pixel(1, 1)), QColor(0, 255, 0));
    // A black and white device bitmap: its set bits are white.
    const QImage mono = decoded(rareDoc, objects[3].format);
    ASSERT_EQ(mono.size(), QSize(16, 2));
    EXPECT_EQ(QColor(mono.pixel(15, 0)), QColor(Qt::white));
    EXPECT_EQ(QColor(mono.pixel(0, 1)), QColor(Qt::black));
    // Objects show the picture their file gives for them, when Qt can draw it.
    EXPECT_TRUE(objects[6].format.property(rtf::KeptPreview).toByteArray().isEmpty());
    EXPECT_TRUE(objects[7].format.property(rtf::KeptPreview).toByteArray().startsWith("\x89PNG"));
    EXPECT_TRUE(objects[8].format.property(rtf::KeptPreview).toByteArray().startsWith("\x89PNG"));
}

TEST(RtfObjects, KeptGroupsAndBitmapsAreWrittenBackByteForByteAfterEditsAroundThem)
{
    const QByteArray rtf = sampleBytes("objects.rtf");
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(rtf, doc));
    // The user writes around the objects: before all of them, between two, and deletes a word
    // next to one.
    QTextCursor cursor(&doc);
    cursor.insertText("New first words. ");
    QTextCursor found = doc.find(" after it.");
    ASSERT_FALSE(found.isNull());
    found.insertText(" and more after it.");
    found = doc.find(" here");
    ASSERT_FALSE(found.isNull());
    found.removeSelectedText();
    const QByteArray written = WriteRtf(doc);

    const QByteArray groups[] = {
        groupFrom(rtf, "{\\pict\\wmetafile8\\picw2117"),
        groupFrom(rtf, "{\\pict\\emfblip"),
        groupFrom(rtf, "{\\pict\\dibitmap0"),
        groupFrom(rtf, "{\\object\\objemb{\\*\\objclass Paint"),
        groupFrom(rtf, "{\\object\\objemb{\\*\\objclass Package"),
        groupFrom(rtf, "{\\shp{"),
    };
    for (const QByteArray& group : groups) {
        ASSERT_FALSE(group.isEmpty());
        EXPECT_EQ(written.count(group), 1) << group.toStdString();
    }
    // The metafile that only stood in for the enhanced one for older readers is not written.
    EXPECT_FALSE(written.contains("\\nonshppict"));

    QTextDocument reread;
    TRtfReadReport report;
    ASSERT_TRUE(ReadRtf(written, reread, &report));
    EXPECT_FALSE(report.lossy());
    EXPECT_EQ(reread.toPlainText(), doc.toPlainText());
    EXPECT_EQ(objectsOf(reread).size(), 6u);
    EXPECT_EQ(WriteRtf(reread), written);

    // An object that is deleted is gone from the file.
    QTextCursor remove(&doc);
    remove.setPosition(objectsOf(doc)[3].position);
    remove.deleteChar();
    EXPECT_FALSE(WriteRtf(doc).contains(groups[3]));

    // The rarer kinds go back as they came too.
    const QByteArray rare = sampleBytes("objects_rare.rtf");
    ASSERT_TRUE(ReadRtf(rare, doc));
    QTextCursor(&doc).insertText("Edited. ");
    const QByteArray rareWritten = WriteRtf(doc);
    for (const char* start :
         {"{\\pict\\wbitmap0\\picw16", "{\\pict\\wbitmap0\\picw2", "{\\pict\\macpict"})
        EXPECT_EQ(rareWritten.count(groupFrom(rare, start)), 1) << start;
}

TEST(RtfObjects, ADocumentHoldingOnlyAnObjectIsNotEmpty)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard{\\pict\\wmetafile8\\picwgoal1440"
        "\\pichgoal1440 " +
        Wmf + "}\\par}";
    QTextDocument doc;
    TRtfReadReport report;
    ASSERT_EQ(LoadDocumentBytes(rtf, doc, &report), TDocumentFormat::Rtf);
    EXPECT_FALSE(report.lossy());
    EXPECT_EQ(doc.characterCount(), 2);
    EXPECT_EQ(doc.toPlainText(), QString(QChar::ObjectReplacementCharacter));
    EXPECT_TRUE(
        WriteRtf(doc).contains("{\\pict\\wmetafile8\\picwgoal1440\\pichgoal1440 " + Wmf + "}"));
}

TEST(RtfObjects, TheReportNamesContentLeftOutAndNothingElse)
{
    auto reportOf = [](const QByteArray& body) {
        QTextDocument doc;
        TRtfReadReport report;
        report.dropped << "left over from before";
        EXPECT_TRUE(ReadRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}" + body + "}", doc, &report));
        return report.dropped;
    };
    EXPECT_EQ(reportOf("plain text \\b bold\\b0 {\\*\\unknown x}{\\info{\\title T}}\\par"),
              QStringList());
    // Empty headers and notes hold nothing; only what held text or a picture counts.
    EXPECT_EQ(
        reportOf("{\\header \\pard\\plain\\par}{\\footer {\\*\\unknown text}}{\\footnote  }x"),
        QStringList());
    EXPECT_EQ(reportOf("{\\footer \\pard Page}{\\headerl Left}{\\header Top}x"),
              QStringList({"a footer", "a header"}));
    EXPECT_EQ(reportOf("x{\\*\\atnid me}{\\*\\annotation \\pard Remember this}"
                       "{\\footnote {\\pict\\pngblip 89}}"),
              QStringList({"a comment", "a footnote"}));
    EXPECT_EQ(reportOf("shown {\\v secret} {\\v  } again\\par"), QStringList({"hidden text"}));
    // A picture that cannot be kept whole, because binary data runs past the end of the file.
    EXPECT_EQ(reportOf("x{\\pict\\wmetafile8\\bin99 ab"),
              QStringList({"a damaged picture or object"}));

    QTextDocument doc;
    TRtfReadReport report;
    report.dropped << "old";
    EXPECT_EQ(LoadDocumentBytes("just text", doc, &report), TDocumentFormat::PlainText);
    EXPECT_FALSE(report.lossy());
    EXPECT_EQ(LoadDocumentBytes("{\\rtf1{\\footnote note}}", doc, &report), TDocumentFormat::Rtf);
    EXPECT_EQ(report.dropped, QStringList({"a footnote"}));
}

TEST(RtfObjects, DamagedObjectsStayWholeGroupsOrAreLeftOut)
{
    // The file ends inside an object: the object is kept with its braces closed, so that what is
    // written after it is not swallowed by it.
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf("{\\rtf1 a{\\object{\\*\\objclass X}{\\*\\objdata 01{\\x 02", doc));
    ASSERT_EQ(objectsOf(doc).size(), 1u);
    QTextCursor(&doc).insertText("start ");
    QTextCursor end(&doc);
    end.movePosition(QTextCursor::End);
    end.insertText(" end");
    const QByteArray written = WriteRtf(doc);
    EXPECT_TRUE(written.contains("{\\object{\\*\\objclass X}{\\*\\objdata 01{\\x 02}}}"))
        << written.toStdString();
    EXPECT_TRUE(balanced(written));
    QTextDocument reread;
    ASSERT_TRUE(ReadRtf(written, reread));
    EXPECT_EQ(reread.toPlainText(),
              QString("start a") + QChar::ObjectReplacementCharacter + " end");

    // Sizes out of all proportion are held to 22 inches; objects without one get room for their
    // words.
    ASSERT_TRUE(
        ReadRtf("{\\rtf1 {\\pict\\emfblip\\picwgoal999999999\\pichgoal-5\\picscalex99999 01}"
                "{\\object\\objw-100 {\\*\\objdata 01}}}",
                doc));
    const auto objects = objectsOf(doc);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_DOUBLE_EQ(objects[0].format.doubleProperty(rtf::KeptWidth), 1584);
    EXPECT_GT(objects[0].format.doubleProperty(rtf::KeptHeight), 0);
    EXPECT_GT(objects[1].format.doubleProperty(rtf::KeptWidth), 0);

    // Objects inside objects are one object; a picture without data is nothing; a picture in the
    // document's own group is no picture.
    ASSERT_TRUE(
        ReadRtf("{\\rtf1 {\\object{\\object{\\pict\\wmetafile8 01}}}{\\pict\\pngblip}x}", doc));
    EXPECT_EQ(objectsOf(doc).size(), 1u);
    EXPECT_EQ(doc.toPlainText(), QString(QChar::ObjectReplacementCharacter) + "x");
    ASSERT_TRUE(ReadRtf("{\\rtf1\\pict\\wmetafile8 01 x}", doc));
    EXPECT_TRUE(objectsOf(doc).empty());

    // A bitmap whose header lies about its size is kept as it came.
    ASSERT_TRUE(
        ReadRtf("{\\rtf1 {\\pict\\dibitmap0 28000000ffffff7fffffff7f01001800}"
                "{\\pict\\wbitmap0\\picw30000\\pich30000\\wbmbitspixel24\\wbmwidthbytes90000 00}}",
                doc));
    const auto bitmaps = objectsOf(doc);
    ASSERT_EQ(bitmaps.size(), 2u);
    EXPECT_TRUE(rtf::isKeptObject(bitmaps[0].format) || bitmaps[0].format.isImageFormat());
    EXPECT_TRUE(rtf::isKeptObject(bitmaps[1].format));
}

TEST(RtfObjects, HandlersDrawPicturesAtTheirSizeAndPlaceholdersSayingWhatTheObjectIs)
{
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(sampleBytes("objects.rtf"), doc));
    EXPECT_FALSE(rtf::HasObjectHandlers(doc));
    rtf::InstallObjectHandlers(doc);
    ASSERT_TRUE(rtf::HasObjectHandlers(doc));
    rtf::InstallObjectHandlers(doc); // twice changes nothing
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    QTextObjectInterface* pictures = layout->handlerForObject(QTextFormat::ImageObject);
    QTextObjectInterface* kept = layout->handlerForObject(rtf::KeptObjectType);
    ASSERT_NE(pictures, nullptr);
    ASSERT_NE(kept, nullptr);

    // Points become the device's pixels: 72 points are an inch.
    QImage device(10, 10, QImage::Format_ARGB32);
    device.setDotsPerMeterX(3780); // 96 dpi
    device.setDotsPerMeterY(3780);
    layout->setPaintDevice(&device);
    const auto objects = objectsOf(doc);
    const QSizeF metafile = kept->intrinsicSize(&doc, objects[0].position, objects[0].format);
    EXPECT_NEAR(metafile.width(), 80, 0.5);
    EXPECT_NEAR(metafile.height(), 53.3, 0.5);
    const QSizeF bitmap = pictures->intrinsicSize(&doc, objects[2].position, objects[2].format);
    EXPECT_NEAR(bitmap.width(), 40, 0.5);

    // A picture is drawn from its bytes; the document goes on holding only the bytes.
    QImage canvas(40, 40, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        pictures->drawObject(&painter, QRectF(0, 0, 40, 40), &doc, objects[2].position,
                             objects[2].format);
    }
    EXPECT_EQ(QColor(canvas.pixel(5, 5)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(canvas.pixel(35, 35)), QColor(0, 255, 0));
    EXPECT_EQ(
        doc.resource(QTextDocument::ImageResource, QUrl(objects[2].format.toImageFormat().name()))
            .userType(),
        QMetaType::QByteArray);

    // An object without a picture: a light box with a dashed border and its words inside.
    QImage box(200, 100, QImage::Format_ARGB32);
    box.fill(Qt::white);
    {
        QPainter painter(&box);
        kept->drawObject(&painter, QRectF(0, 0, 200, 100), &doc, objects[0].position,
                         objects[0].format);
    }
    EXPECT_EQ(QColor(box.pixel(20, 10)), QColor(240, 240, 240));
    int dark = 0;
    for (int x = 0; x < 200; ++x)
        dark += qGray(box.pixel(x, 50)) < 160;
    EXPECT_GT(dark, 5) << "the words are drawn";

    // An object with a picture of its own shows that picture.
    QImage preview(20, 20, QImage::Format_ARGB32);
    preview.fill(Qt::white);
    {
        QPainter painter(&preview);
        kept->drawObject(&painter, QRectF(0, 0, 20, 20), &doc, objects[4].position,
                         objects[4].format);
    }
    const QImage png = QImage::fromData(objects[4].format.property(rtf::KeptPreview).toByteArray());
    EXPECT_EQ(QColor(preview.pixel(10, 10)).rgb() & 0xFFFFFF, png.pixel(0, 0) & 0xFFFFFF);

    // The whole document lays out and draws with its objects at their sizes.
    doc.setTextWidth(600);
    EXPECT_GT(doc.size().height(), 53);
    QImage page(600, int(doc.size().height()) + 1, QImage::Format_ARGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    doc.drawContents(&painter);
}

// A photo drawn on screen is decoded on another thread: asking again meanwhile starts nothing
// new, whoever asked hears once it is there, and one gone by then hears nothing.
TEST(RtfObjects, APictureDecodedAsideIsAnnouncedToWhoeverIsStillThere)
{
    QImage photo(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    photo.save(&buffer, "PNG");
    rtf::ClearDecodedPictures();

    QObject listener;
    auto gone = std::make_unique<QObject>();
    int heard = 0, heardByGone = 0;
    const QString key = QStringLiteral("rtfimage:aside-test");
    EXPECT_TRUE(
        rtf::DecodedPictureSoon(key, encoded, {320, 240}, &listener, [&] { ++heard; }).isNull());
    EXPECT_TRUE(rtf::DecodedPictureSoon(key, encoded, {320, 240}, gone.get(), [&] {
                    ++heardByGone;
                }).isNull());
    gone.reset();
    QElapsedTimer clock;
    clock.start();
    while (heard == 0 && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(heard, 1);
    const QImage decoded =
        rtf::DecodedPictureSoon(key, encoded, {320, 240}, &listener, [&] { ++heard; });
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.size(), QSize(320, 240));
    // The picture itself, halved: the pixel at (100, 50) came from about (200, 100).
    const QColor pixel = decoded.pixelColor(100, 50);
    EXPECT_NEAR(pixel.red(), 200, 8);
    EXPECT_NEAR(pixel.green(), 100, 8);
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(heardByGone, 0);
}
