// RTF bytes into a QTextDocument and back, on generated rich-edit-style documents of 1 and 5 MB
// with mixed formatting, bullets and code-page escapes; and a 20 MB entry made of photos
// (JPEG and PNG, 3 to 5 MB each) opened as the editor opens it: read detached, laid out and
// its first screen drawn.
//   build-bench/bench/bench_rtf
// Counters: MB/s over the file size, and for reading the peak resident memory the load added,
// as a multiple of the file size.

#include "BenchMain.h"
#include "SampleDocuments.h"
#include "rtf/RtfObjectHandlers.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <fstream>
#include <malloc.h>
#include <string>

namespace {

const QByteArray& sample(int megabytes)
{
    static QByteArray one = RichEditStyleRtf(1 << 20);
    static QByteArray five = RichEditStyleRtf(5 << 20);
    return megabytes == 1 ? one : five;
}

long statusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    return -1;
}

// The peak resident memory one load adds, measured after resetting the high-water mark.
double loadPeakOverFileSize(const QByteArray& rtf)
{
    {
        std::ofstream clear("/proc/self/clear_refs");
        clear << "5";
    }
    const long before = statusKilobytes("VmRSS");
    QTextDocument doc;
    ReadRtf(rtf, doc);
    const long peak = statusKilobytes("VmHWM");
    return double(peak - before) * 1024.0 / double(rtf.size());
}

void readRtf(benchmark::State& state)
{
    const QByteArray& rtf = sample(int(state.range(0)));
    for (auto _ : state) {
        auto* doc = new QTextDocument;
        ReadRtf(rtf, *doc);
        state.PauseTiming();
        delete doc;
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
    state.counters["peak_x_file"] = loadPeakOverFileSize(rtf);
    state.counters["file_MB"] = double(rtf.size()) / (1 << 20);
}

void writeRtf(benchmark::State& state)
{
    const QByteArray& rtf = sample(int(state.range(0)));
    QTextDocument doc;
    ReadRtf(rtf, doc);
    qsizetype written = 0;
    for (auto _ : state) {
        const QByteArray out = WriteRtf(doc);
        written = out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    state.SetBytesProcessed(state.iterations() * written);
    state.counters["out_MB"] = double(written) / (1 << 20);
}

// A photo-like picture: smooth colour with fine noise, so that it compresses as photos do.
QByteArray photo(const char* format, QSize size, int quality, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int noise = int(random.bounded(48));
            line[x] = qRgb((x * 255 / size.width() + noise) & 255,
                           (y * 255 / size.height() + noise) & 255, (x + y + noise) & 255);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

struct TPhotoEntry
{
    QByteArray rtf;
    qsizetype pictureBytes = 0;
    qsizetype smallest = 0;
    qsizetype largest = 0;
    int pictures = 0;
};

// About 20 MB: a paragraph of text before each of three photos six inches wide.
const TPhotoEntry& photoEntry()
{
    static const TPhotoEntry entry = [] {
        TPhotoEntry e;
        const QByteArray photos[] = {photo("jpeg", {2700, 1800}, 95, 1),
                                     photo("png", {1700, 1300}, 0, 2),
                                     photo("jpeg", {2600, 1800}, 95, 3)};
        e.rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs22 ";
        for (const QByteArray& picture : photos) {
            const bool jpeg = picture.startsWith("\xFF\xD8");
            e.rtf += "\\pard A day out, and a picture of it.\\par\r\n\\pard ";
            e.rtf += jpeg ? "{\\pict\\jpegblip" : "{\\pict\\pngblip";
            e.rtf += "\\picwgoal8640\\pichgoal" +
                     QByteArray::number(jpeg ? 8640 * 2 / 3 : 8640 * 3 / 4) + "\r\n";
            const QByteArray hex = picture.toHex();
            for (qsizetype i = 0; i < hex.size(); i += 128)
                e.rtf += hex.mid(i, 128) + "\r\n";
            e.rtf += "}\\par\r\n";
            e.pictureBytes += picture.size();
            e.smallest = e.smallest ? std::min(e.smallest, picture.size()) : picture.size();
            e.largest = std::max(e.largest, picture.size());
            ++e.pictures;
        }
        e.rtf += "}";
        return e;
    }();
    return entry;
}

constexpr QSize Screen(900, 700);

// Reads the entry detached, then lays it out and draws its first screen as the editor does.
void openPhotoEntry(const QByteArray& rtf, QImage& screen)
{
    QTextDocument doc;
    ReadRtf(rtf, doc);
    rtf::InstallObjectHandlers(doc);
    doc.setTextWidth(Screen.width());
    screen.fill(Qt::white);
    QPainter painter(&screen);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(QPointF(0, 0), QSizeF(Screen));
    doc.documentLayout()->draw(&painter, context);
}

void openPhotos(benchmark::State& state)
{
    const TPhotoEntry& entry = photoEntry();
    QImage screen(Screen, QImage::Format_RGB32);
    // Memory first, with the heap handed back to the system, so that the peak counts what the
    // open takes and not what earlier work left in the allocator's free lists.
    rtf::ClearDecodedPictures();
    mallopt(M_MMAP_THRESHOLD, 256 << 10);
    malloc_trim(0);
    {
        std::ofstream clear("/proc/self/clear_refs");
        clear << "5";
    }
    const long before = statusKilobytes("VmRSS");
    openPhotoEntry(entry.rtf, screen);
    const long peak = statusKilobytes("VmHWM");
    for (auto _ : state) {
        // Every open decodes afresh, as the first open of a file does.
        rtf::ClearDecodedPictures();
        openPhotoEntry(entry.rtf, screen);
    }
    state.counters["file_MB"] = double(entry.rtf.size()) / (1 << 20);
    state.counters["photos"] = entry.pictures;
    state.counters["smallest_photo_MB"] = double(entry.smallest) / (1 << 20);
    state.counters["largest_photo_MB"] = double(entry.largest) / (1 << 20);
    state.counters["peak_MB"] = double(peak - before) / 1024;
    state.counters["peak_x_file"] = double(peak - before) * 1024 / double(entry.rtf.size());
}

// Scrolls through the whole entry a screen at a time; every photo is decoded as it comes into
// view. The time is per screen.
void scrollPhotos(benchmark::State& state)
{
    const TPhotoEntry& entry = photoEntry();
    QTextDocument doc;
    ReadRtf(entry.rtf, doc);
    rtf::InstallObjectHandlers(doc);
    doc.setTextWidth(Screen.width());
    const qreal height = doc.size().height();
    QImage screen(Screen, QImage::Format_RGB32);
    int screens = 0;
    qint64 slowestNs = 0;
    for (auto _ : state) {
        rtf::ClearDecodedPictures();
        for (qreal top = 0; top < height; top += Screen.height() / 2.0) {
            QElapsedTimer timer;
            timer.start();
            screen.fill(Qt::white);
            QPainter painter(&screen);
            painter.translate(0, -top);
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = QRectF(QPointF(0, top), QSizeF(Screen));
            doc.documentLayout()->draw(&painter, context);
            painter.end();
            slowestNs = std::max(slowestNs, timer.nsecsElapsed());
            ++screens;
        }
    }
    state.counters["screens"] = double(screens) / double(state.iterations());
    state.counters["slowest_screen_ms"] = double(slowestNs) / 1e6;
}

} // namespace

BENCHMARK(readRtf)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(writeRtf)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(openPhotos)->Unit(benchmark::kMillisecond);
BENCHMARK(scrollPhotos)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return RunBenchmarks<QGuiApplication>(argc, argv);
}
