#pragma once

// Documents the benchmarks and the start-up measurement share: RTF as a rich-edit control writes
// it, with short formatted runs, bullets, centred paragraphs, code-page escapes and a second
// script, so that reading and laying it out meet what a real diary holds.

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <cmath>

inline QByteArray RichEditStyleRtf(qsizetype targetBytes)
{
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{"
        "\\f0\\fnil\\fcharset0 Calibri;}"
        "{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fswiss\\fcharset204 Arial;}{\\f3\\fnil\\fcharset0 "
        "Courier New;}}\r\n"
        "{\\colortbl "
        ";\\red255\\green0\\blue0;\\red0\\green176\\blue80;\\red0\\green0\\blue255;}\r\n"
        "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n";
    rtf.reserve(targetBytes + 4096);
    static const char* const words[] = {
        "today", "we",         "walked", "along",    "the",  "river", "and", "talked",
        "about", "everything", "that",   "happened", "last", "week",  "at",  "work"};
    int paragraph = 0;
    while (rtf.size() < targetBytes) {
        const int kind = paragraph % 7;
        if (kind == 3 || kind == 4) {
            if (kind == 3)
                rtf += "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{"
                       "\\pntxtb\\'B7}}\\fi-360\\li720"
                       "\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 ";
            else
                rtf += "{\\pntext\\f1\\'B7\\tab}";
        } else {
            rtf += kind == 5 ? "\\pard\\qc\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 "
                             : "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 ";
        }
        for (int w = 0; w < 60; ++w) {
            const int pick = (paragraph * 31 + w * 7) % 16;
            switch ((paragraph + w) % 23) {
            case 2:
                rtf += "\\b ";
                rtf += words[pick];
                rtf += "\\b0 ";
                break;
            case 5:
                rtf += "\\i ";
                rtf += words[pick];
                rtf += "\\i0 ";
                break;
            case 8:
                rtf += "\\cf1 ";
                rtf += words[pick];
                rtf += "\\cf0 ";
                break;
            case 11:
                rtf += "caf\\'e9 cr\\'e8me ";
                break;
            case 13:
                rtf += "{\\f2\\lang1049 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2} ";
                break;
            case 16:
                rtf += "\\ul ";
                rtf += words[pick];
                rtf += "\\ulnone ";
                break;
            case 19:
                rtf += "\\u8364\\'80 \\u1071\\'3f ";
                break;
            case 21:
                rtf += "{\\f3\\fs20 code()} ";
                break;
            default:
                rtf += words[pick];
                rtf += ' ';
                break;
            }
        }
        rtf += "\\par\r\n";
        ++paragraph;
    }
    rtf += "}\r\n";
    return rtf;
}

// A small day as the benchmarks' journals hold thousands of.
inline QByteArray SmallEntryRtf()
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard A day in the life\\par\r\n}";
}

// About 5 MB of diary prose in lines of some 50 characters, each holding the word "needle"
// once: 100,000 matches for Replace All.
inline QByteArray NeedleLinesRtf()
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs24 ";
    rtf.reserve(100000 * 56 + 64);
    for (int i = 0; i < 100000; ++i)
        rtf += "Walked along the river, found a needle in the hay.\\par\r\n";
    return rtf + "}\r\n";
}

// A photo-like picture of about the given encoded size: noise does not compress, so the
// encoded size follows the pixel count.
inline QByteArray PhotoBytes(const char* format, qsizetype targetBytes, quint32 seed)
{
    const double bytesPerPixel = qstrcmp(format, "png") == 0 ? 3.0 : 1.6;
    const int side = int(std::sqrt(double(targetBytes) / bytesPerPixel));
    QImage image(side * 4 / 3, side * 3 / 4, QImage::Format_RGB32);
    quint32 state = seed;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            // A gradient under the noise, as a sky over a field.
            const int base = 255 * y / image.height();
            line[x] = qRgb((base + int(state >> 24)) / 2,
                           (255 - base + int((state >> 16) & 0xff)) / 2, int((state >> 8) & 0xff));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, qstrcmp(format, "png") == 0 ? -1 : 92);
    return bytes;
}

// A day of photos: PNG and JPEG pictures of 3 to 5 MB each, shown six inches wide, a few lines
// of text between them, to about targetBytes of RTF.
inline QByteArray PictureEntryRtf(qsizetype targetBytes)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs24 ";
    // Hexadecimal, as RTF writers store pictures: twice the picture's bytes.
    static const qsizetype sizes[] = {4 << 20, 3 << 20, 3 << 20, 5 << 20};
    for (quint32 seed = 1; rtf.size() < targetBytes - (2 << 20); ++seed) {
        const bool png = seed % 2 == 1;
        const QByteArray photo = PhotoBytes(png ? "png" : "jpg", sizes[(seed - 1) % 4], seed);
        const QSize size = QImage::fromData(photo).size();
        rtf += "At the lake, photo " + QByteArray::number(seed) + ".\\par\r\n{\\pict" +
               (png ? "\\pngblip" : "\\jpegblip") + "\\picw" + QByteArray::number(size.width()) +
               "\\pich" + QByteArray::number(size.height()) + "\\picwgoal8640\\pichgoal" +
               QByteArray::number(8640 * size.height() / size.width()) + "\r\n" + photo.toHex() +
               "}\\par\r\n";
    }
    return rtf + "}\r\n";
}
