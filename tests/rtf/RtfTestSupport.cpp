#include "RtfTestSupport.h"

#include "rtf/RtfReader.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace {

// Fonts, images and the font database need the GUI application; gtest_main creates none.
class TGuiEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "rtf_tests";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QGuiApplication> m_app;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new TGuiEnvironment);

} // namespace

namespace rtftest {

std::unique_ptr<QTextDocument> read(const QByteArray& rtf)
{
    auto doc = std::make_unique<QTextDocument>();
    EXPECT_TRUE(ReadRtf(rtf, *doc));
    return doc;
}

QString blocks(const QTextDocument& doc)
{
    QStringList texts;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        texts << block.text();
    return texts.join(u'|');
}

QTextCharFormat formatAt(const QTextDocument& doc, const QString& needle)
{
    const QTextCursor found = doc.find(needle);
    if (found.isNull()) {
        ADD_FAILURE() << "text not found: " << needle.toStdString();
        return {};
    }
    QTextCursor cursor(const_cast<QTextDocument*>(&doc));
    cursor.setPosition(found.selectionStart() + 1);
    return cursor.charFormat();
}

QString family(const QTextCharFormat& format)
{
    return format.property(QTextFormat::FontFamilies).toStringList().value(0);
}

QByteArray sampleBytes(const QString& name)
{
    QFile file(QString::fromLocal8Bit(qgetenv("JORNIX_SOURCE_DIR")) +
               QStringLiteral("/tests/rtf/samples/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "missing sample " << name.toStdString();
        return {};
    }
    return file.readAll();
}

} // namespace rtftest
