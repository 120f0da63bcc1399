#include "OdfText.h"

#include <QHash>
#include <QXmlStreamReader>

#include <algorithm>
#include <optional>

namespace odftest {

namespace {

using TProperties = QHash<QString, QString>;

struct TStyle
{
    QString parent;
    TProperties text;
    TProperties paragraph;
};

class TFlattener
{
public:
    TFlatText run(const QByteArray& fodt);

private:
    void readStyle(bool isDefault);
    void readBody();
    void skip() { m_xml.skipCurrentElement(); }

    TCharLook resolve(const QString& family, const QString& name, int depth = 0);
    void overlay(TCharLook& look, const TStyle& style) const;
    void append(const QString& text, const TCharLook& look);

    QXmlStreamReader m_xml;
    QHash<QString, QString> m_fonts;
    QHash<QString, TStyle> m_styles; // "family:name"
    QHash<QString, TStyle> m_defaults;
    TFlatText m_out;
    bool m_pendingSpace = false;
};

bool isField(QStringView name)
{
    static const QStringList fields = {
        "text:page-number", "text:page-count",   "text:date",         "text:time",
        "text:file-name",   "text:author-name",  "text:chapter",      "text:sequence",
        "text:title",       "text:subject",      "text:user-defined", "text:variable-get",
        "text:expression",  "text:bookmark-ref", "text:reference-ref"};
    return fields.contains(name.toString());
}

QString attribute(const QXmlStreamAttributes& attributes, QStringView qualified)
{
    for (const QXmlStreamAttribute& a : attributes)
        if (a.qualifiedName() == qualified)
            return a.value().toString();
    return {};
}

void TFlattener::readStyle(bool isDefault)
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    const QString family = attribute(attributes, u"style:family");
    TStyle style;
    style.parent = attribute(attributes, u"style:parent-style-name");
    while (m_xml.readNextStartElement()) {
        TProperties* target = m_xml.qualifiedName() == u"style:text-properties" ? &style.text
                              : m_xml.qualifiedName() == u"style:paragraph-properties"
                                  ? &style.paragraph
                                  : nullptr;
        if (target)
            for (const QXmlStreamAttribute& a : m_xml.attributes())
                target->insert(a.qualifiedName().toString(), a.value().toString());
        skip();
    }
    if (isDefault)
        m_defaults.insert(family, style);
    else
        m_styles.insert(family + u':' + attribute(attributes, u"style:name"), style);
}

void TFlattener::overlay(TCharLook& look, const TStyle& style) const
{
    const TProperties& t = style.text;
    if (t.contains("style:font-name")) {
        const QString name = t.value("style:font-name");
        look.font = m_fonts.value(name, name);
    } else if (t.contains("fo:font-family")) {
        look.font = t.value("fo:font-family");
    }
    look.font.remove(u'\'');
    if (t.contains("fo:font-size")) {
        QString size = t.value("fo:font-size");
        if (size.endsWith(u'%'))
            look.size = look.size * size.chopped(1).toDouble() / 100;
        else if (size.endsWith(u"pt"))
            look.size = size.chopped(2).toDouble();
    }
    if (t.contains("fo:font-weight")) {
        const QString weight = t.value("fo:font-weight");
        look.bold = weight == u"bold" || weight.toInt() >= 600;
    }
    if (t.contains("fo:font-style"))
        look.italic = t.value("fo:font-style") != u"normal";
    if (t.contains("style:text-underline-style"))
        look.underline = t.value("style:text-underline-style") != u"none";
    if (t.contains("style:text-line-through-style"))
        look.strike = t.value("style:text-line-through-style") != u"none";
    if (t.value("style:use-window-font-color") == u"true")
        look.colour.clear();
    if (t.contains("fo:color"))
        look.colour =
            t.value("fo:color").toLower() == u"#000000" ? QString() : t.value("fo:color").toLower();
    if (style.paragraph.contains("fo:text-align")) {
        const QString align = style.paragraph.value("fo:text-align");
        look.align = align == u"start" || align == u"left"  ? QStringLiteral("left")
                     : align == u"end" || align == u"right" ? QStringLiteral("right")
                                                            : align;
    }
}

TCharLook TFlattener::resolve(const QString& family, const QString& name, int depth)
{
    const auto it = m_styles.constFind(family + u':' + name);
    TCharLook look;
    if (it == m_styles.constEnd() || depth > 20) {
        look.align = QStringLiteral("left");
        overlay(look, m_defaults.value(family == u"text" ? QStringLiteral("paragraph") : family));
        return look;
    }
    if (it->parent.isEmpty()) {
        look.align = QStringLiteral("left");
        overlay(look, m_defaults.value(family == u"text" ? QStringLiteral("paragraph") : family));
    } else {
        look = resolve(family, it->parent, depth + 1);
    }
    overlay(look, *it);
    return look;
}

void TFlattener::append(const QString& text, const TCharLook& look)
{
    for (QChar c : text) {
        m_out.text += c;
        m_out.looks.push_back(look);
    }
}

TFlatText TFlattener::run(const QByteArray& fodt)
{
    m_xml.addData(fodt);
    while (!m_xml.atEnd()) {
        m_xml.readNext();
        if (!m_xml.isStartElement())
            continue;
        const QStringView name = m_xml.qualifiedName();
        if (name == u"style:font-face") {
            m_fonts.insert(attribute(m_xml.attributes(), u"style:name"),
                           attribute(m_xml.attributes(), u"svg:font-family"));
        } else if (name == u"style:style" || name == u"style:default-style") {
            readStyle(name == u"style:default-style");
        } else if (name == u"office:text") {
            readBody();
        }
    }
    return m_out;
}

void TFlattener::readBody()
{
    // A stack of what the elements open: the look in force and whether it is a paragraph.
    std::vector<TCharLook> looks;
    int lists = 0;
    int depth = 1;
    bool inParagraph = false;
    while (!m_xml.atEnd() && depth > 0) {
        m_xml.readNext();
        if (m_xml.isEndElement()) {
            --depth;
            const QStringView name = m_xml.qualifiedName();
            if (name == u"text:p" || name == u"text:h") {
                append(QStringLiteral("\n"), looks.back());
                inParagraph = false;
            }
            if (name == u"text:list")
                --lists;
            if (name == u"text:p" || name == u"text:h" || name == u"text:span")
                looks.pop_back();
            continue;
        }
        if (m_xml.isCharacters()) {
            if (!inParagraph)
                continue;
            // Runs of white space in the XML are one space; spaces that count are text:s.
            QString text = m_xml.text().toString();
            QString cleaned;
            for (QChar c : text) {
                if (c.isSpace()) {
                    if (!cleaned.endsWith(u' ') &&
                        !(cleaned.isEmpty() && (m_out.text.isEmpty() || m_out.text.endsWith('\n') ||
                                                m_out.text.endsWith(' '))))
                        cleaned += u' ';
                } else {
                    cleaned += c;
                }
            }
            append(cleaned, looks.back());
            continue;
        }
        if (!m_xml.isStartElement())
            continue;
        ++depth;
        const QStringView name = m_xml.qualifiedName();
        const QXmlStreamAttributes attributes = m_xml.attributes();
        if (name == u"text:p" || name == u"text:h") {
            TCharLook look = resolve("paragraph", attribute(attributes, u"text:style-name"));
            look.inList = lists > 0;
            looks.push_back(look);
            inParagraph = true;
        } else if (name == u"text:span") {
            TCharLook look = looks.empty() ? TCharLook() : looks.back();
            const QString styleName = attribute(attributes, u"text:style-name");
            // A span's style overlays what the paragraph shows.
            std::vector<const TStyle*> chain;
            for (QString n = styleName; !n.isEmpty() && chain.size() < 20;) {
                const auto it = m_styles.constFind(QStringLiteral("text:") + n);
                if (it == m_styles.constEnd())
                    break;
                chain.push_back(&*it);
                n = it->parent;
            }
            for (auto s = chain.rbegin(); s != chain.rend(); ++s)
                overlay(look, **s);
            looks.push_back(look);
        } else if (name == u"text:list") {
            ++lists;
        } else if (name == u"text:s") {
            const int count = std::max(1, attribute(attributes, u"text:c").toInt());
            append(QString(count, u' '), looks.back());
        } else if (name == u"text:tab") {
            append(QStringLiteral("\t"), looks.back());
        } else if (name == u"text:line-break") {
            append(QString(QChar(QChar::LineSeparator)), looks.back());
        } else if (name == u"draw:frame") {
            ++m_out.frames;
            m_out.frameSizes << attribute(attributes, u"svg:width") + u'x' +
                                    attribute(attributes, u"svg:height");
            skip();
            --depth;
        } else if (isField(name)) {
            // LibreOffice works fields out again (a page number is 0 in a conversion); what they
            // show is not text of the file.
            skip();
            --depth;
        } else if (name == u"text:note" || name == u"office:annotation" ||
                   name == u"text:sequence-decls" || name == u"text:tracked-changes" ||
                   name.startsWith(u"draw:")) {
            skip();
            --depth;
        }
    }
}

// The pairs of positions a shortest edit script keeps, after the common start and end.
std::vector<std::pair<qsizetype, qsizetype>> matches(const QString& a, const QString& b)
{
    std::vector<std::pair<qsizetype, qsizetype>> kept;
    qsizetype prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) {
        kept.emplace_back(prefix, prefix);
        ++prefix;
    }
    qsizetype suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    const QStringView x = QStringView(a).mid(prefix, a.size() - prefix - suffix);
    const QStringView y = QStringView(b).mid(prefix, b.size() - prefix - suffix);
    const qsizetype n = x.size(), m = y.size();
    // Myers' greedy algorithm with the frontier of every round kept for the way back.
    const qsizetype maxD = std::min<qsizetype>(n + m, 1500);
    std::vector<std::vector<qsizetype>> trace;
    std::vector<qsizetype> v(2 * maxD + 3, 0);
    const qsizetype offset = maxD + 1;
    qsizetype found = -1;
    for (qsizetype d = 0; d <= maxD && found < 0; ++d) {
        trace.push_back(v);
        for (qsizetype k = -d; k <= d; k += 2) {
            qsizetype i = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1]))
                              ? v[offset + k + 1]
                              : v[offset + k - 1] + 1;
            qsizetype j = i - k;
            while (i < n && j < m && x[i] == y[j]) {
                ++i;
                ++j;
            }
            v[offset + k] = i;
            if (i >= n && j >= m) {
                found = d;
                break;
            }
        }
    }
    std::vector<std::pair<qsizetype, qsizetype>> middle;
    if (found >= 0) {
        // Back from the end: each round's frontier says where the round came from.
        qsizetype i = n, j = m;
        for (qsizetype d = found; d >= 0; --d) {
            const std::vector<qsizetype>& before = trace[d];
            const qsizetype k = i - j;
            const bool down =
                k == -d || (k != d && before[offset + k - 1] < before[offset + k + 1]);
            const qsizetype previousK = down ? k + 1 : k - 1;
            const qsizetype previousI = before[offset + previousK];
            const qsizetype previousJ = previousI - previousK;
            while (i > previousI && j > previousJ && i > 0 && j > 0) {
                --i;
                --j;
                middle.emplace_back(i, j);
            }
            i = previousI;
            j = previousJ;
        }
        std::reverse(middle.begin(), middle.end());
    }
    for (const auto& [i, j] : middle)
        kept.emplace_back(prefix + i, prefix + j);
    for (qsizetype s = suffix; s > 0; --s)
        kept.emplace_back(a.size() - s, b.size() - s);
    return kept;
}

} // namespace

QString TCharLook::describe() const
{
    return QStringLiteral("%1/%2%3%4%5%6/%7/%8%9")
        .arg(font)
        .arg(size)
        .arg(bold ? "/b" : "")
        .arg(italic ? "/i" : "")
        .arg(underline ? "/u" : "")
        .arg(strike ? "/s" : "")
        .arg(colour.isEmpty() ? QStringLiteral("auto") : colour)
        .arg(align)
        .arg(inList ? "/list" : "");
}

TFlatText flatten(const QByteArray& fodt)
{
    return TFlattener().run(fodt);
}

TFidelity compare(const TFlatText& original, const TFlatText& copy)
{
    TFidelity result;
    for (QChar c : original.text)
        result.characters += c != u'\n';
    for (const auto& [i, j] : matches(original.text, copy.text)) {
        if (original.text[i] == u'\n')
            continue;
        ++result.sameText;
        if (original.looks[i] == copy.looks[j])
            ++result.sameLook;
        else if (result.firstDifference.isEmpty())
            result.firstDifference =
                QStringLiteral("at \"%1\": %2 became %3")
                    .arg(original.text.mid(std::max<qsizetype>(0, i - 10), 25).simplified(),
                         original.looks[i].describe(), copy.looks[j].describe());
    }
    if (result.sameText < result.characters && result.firstDifference.isEmpty())
        result.firstDifference = QStringLiteral("text differs");
    return result;
}

} // namespace odftest
