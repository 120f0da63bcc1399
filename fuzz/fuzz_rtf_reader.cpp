// libFuzzer target: the RTF reader must load any bytes without crashing, hanging or taking
// memory out of proportion, and what it loads must write out and read back.
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // Inputs that are no RTF stop at the first check; give them the header so the fuzzer spends
    // its time inside the parser.
    if (!bytes.startsWith("{\\rtf"))
        bytes.prepend("{\\rtf1 ");
    QTextDocument doc;
    if (!ReadRtf(bytes, doc))
        std::abort();
    const QByteArray written = WriteRtf(doc);
    QTextDocument again;
    if (!ReadRtf(written, again))
        std::abort();
    return 0;
}
