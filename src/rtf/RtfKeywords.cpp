#include "rtf/RtfKeywords.h"

#include <unordered_map>

namespace rtf {

namespace {

using K = TKeyword;

// Control words are short; FNV-1a over their letters beats the library's general hash here.
struct TWordHash
{
  size_t operator()(std::string_view word) const noexcept
  {
    size_t hash = 2166136261u;
    for (char c : word)
      hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
  }
};

using TKeywordTable = std::unordered_map<std::string_view, TKeyword, TWordHash>;

const TKeywordTable& keywordTable()
{
  static const TKeywordTable table = {
    {"rtf", K::Rtf}, {"ansi", K::Ansi}, {"mac", K::Mac}, {"pc", K::Pc}, {"pca", K::Pca},
    {"ansicpg", K::AnsiCpg}, {"deff", K::Deff}, {"fonttbl", K::FontTable}, {"f", K::Font},
    {"fcharset", K::FontCharset}, {"cpg", K::FontCodePage}, {"fname", K::FontName},
    {"colortbl", K::ColorTable}, {"red", K::Red}, {"green", K::Green}, {"blue", K::Blue},

    {"par", K::Par}, {"line", K::Line}, {"tab", K::Tab}, {"emdash", K::EmDash},
    {"endash", K::EnDash}, {"bullet", K::Bullet}, {"lquote", K::LQuote}, {"rquote", K::RQuote},
    {"ldblquote", K::LDblQuote}, {"rdblquote", K::RDblQuote}, {"u", K::Unicode},
    {"uc", K::UnicodeSkip}, {"bin", K::Bin}, {"sect", K::Sect}, {"page", K::Page},

    {"plain", K::Plain}, {"fs", K::FontSize}, {"b", K::Bold}, {"i", K::Italic},
    {"ul", K::Underline}, {"uld", K::UnderlineDotted}, {"uldash", K::UnderlineDash},
    {"uldashd", K::UnderlineDashDot}, {"uldashdd", K::UnderlineDashDotDot},
    {"ulwave", K::UnderlineWave}, {"ulhwave", K::UnderlineWave}, {"ululdbwave", K::UnderlineWave},
    {"uldb", K::UnderlineOther}, {"ulth", K::UnderlineOther}, {"ulw", K::UnderlineOther},
    {"ulthd", K::UnderlineDotted}, {"ulthdash", K::UnderlineDash}, {"ulldash", K::UnderlineDash},
    {"ulthldash", K::UnderlineDash}, {"ulthdashd", K::UnderlineDashDot},
    {"ulthdashdd", K::UnderlineDashDotDot}, {"ulnone", K::UnderlineNone}, {"strike", K::Strike},
    {"striked", K::StrikeDouble}, {"super", K::Super}, {"sub", K::Sub},
    {"nosupersub", K::NoSuperSub}, {"v", K::Hidden}, {"cf", K::ForeColor},
    {"highlight", K::Highlight}, {"cb", K::BackColor}, {"chcbpat", K::BackColor},

    {"pard", K::Pard}, {"ql", K::AlignLeft}, {"qc", K::AlignCenter}, {"qr", K::AlignRight},
    {"qj", K::AlignJustify}, {"li", K::LeftIndent}, {"ri", K::RightIndent}, {"fi", K::FirstIndent},
    {"sb", K::SpaceBefore}, {"sa", K::SpaceAfter}, {"intbl", K::InTable},

    {"pntext", K::PnText}, {"pn", K::Pn}, {"pnlvlblt", K::PnLevelBullet},
    {"pnlvlbody", K::PnLevelBody}, {"pnlvlcont", K::PnLevelCont}, {"pnlvl", K::PnLevel},
    {"pndec", K::PnDecimal}, {"pnucltr", K::PnUpperLetter}, {"pnlcltr", K::PnLowerLetter},
    {"pnucrm", K::PnUpperRoman}, {"pnlcrm", K::PnLowerRoman}, {"pnstart", K::PnStart},
    {"listtext", K::ListText}, {"listtable", K::ListTable}, {"list", K::List},
    {"listid", K::ListId}, {"listlevel", K::ListLevel}, {"levelnfc", K::LevelNfc},
    {"levelnfcn", K::LevelNfc}, {"listoverridetable", K::ListOverrideTable},
    {"listoverride", K::ListOverride}, {"ls", K::Ls}, {"ilvl", K::Ilvl},

    {"field", K::Field}, {"fldinst", K::FieldInstruction}, {"fldrslt", K::FieldResult},
    {"pict", K::Pict}, {"shppict", K::ShapePicture}, {"pngblip", K::PngBlip},
    {"jpegblip", K::JpegBlip}, {"picw", K::PicWidth}, {"pich", K::PicHeight},
    {"picwgoal", K::PicWidthGoal}, {"pichgoal", K::PicHeightGoal}, {"picscalex", K::PicScaleX},
    {"picscaley", K::PicScaleY}, {"trowd", K::RowDefaults}, {"cellx", K::CellX}, {"cell", K::Cell},
    {"row", K::Row}, {"nestcell", K::NestCell}, {"nestrow", K::NestRow},

    // Destinations that never hold document text.
    {"stylesheet", K::SkipDestination}, {"info", K::SkipDestination},
    {"header", K::SkipDestination}, {"headerl", K::SkipDestination},
    {"headerr", K::SkipDestination}, {"headerf", K::SkipDestination},
    {"footer", K::SkipDestination}, {"footerl", K::SkipDestination},
    {"footerr", K::SkipDestination}, {"footerf", K::SkipDestination},
    {"footnote", K::SkipDestination}, {"ftnsep", K::SkipDestination},
    {"ftnsepc", K::SkipDestination}, {"ftncn", K::SkipDestination},
    {"aftnsep", K::SkipDestination}, {"aftnsepc", K::SkipDestination},
    {"aftncn", K::SkipDestination}, {"object", K::SkipDestination},
    {"objdata", K::SkipDestination}, {"nonshppict", K::SkipDestination},
    {"themedata", K::SkipDestination}, {"colorschememapping", K::SkipDestination},
    {"datastore", K::SkipDestination}, {"xmlnstbl", K::SkipDestination},
    {"latentstyles", K::SkipDestination}, {"rsidtbl", K::SkipDestination},
    {"generator", K::SkipDestination}, {"pgdsctbl", K::SkipDestination},
    {"filetbl", K::SkipDestination}, {"revtbl", K::SkipDestination},
    {"pntxta", K::SkipDestination}, {"pntxtb", K::SkipDestination},
    {"pnseclvl", K::SkipDestination}, {"listname", K::SkipDestination},
    {"leveltext", K::SkipDestination}, {"levelnumbers", K::SkipDestination},
    {"falt", K::SkipDestination}, {"panose", K::SkipDestination},
    {"fontemb", K::SkipDestination}, {"fontfile", K::SkipDestination},
    {"author", K::SkipDestination}, {"operator", K::SkipDestination},
    {"title", K::SkipDestination}, {"subject", K::SkipDestination},
    {"keywords", K::SkipDestination}, {"comment", K::SkipDestination},
    {"doccomm", K::SkipDestination}, {"company", K::SkipDestination},
    {"category", K::SkipDestination}, {"manager", K::SkipDestination},
    {"creatim", K::SkipDestination}, {"revtim", K::SkipDestination},
    {"printim", K::SkipDestination}, {"buptim", K::SkipDestination},
    {"hlinkbase", K::SkipDestination}, {"userprops", K::SkipDestination},
    {"docvar", K::SkipDestination}, {"template", K::SkipDestination},
    {"fchars", K::SkipDestination}, {"lchars", K::SkipDestination},
    {"annotation", K::SkipDestination}, {"atnid", K::SkipDestination},
    {"atnauthor", K::SkipDestination}, {"atntime", K::SkipDestination},
    {"atnref", K::SkipDestination}, {"atndate", K::SkipDestination},
    {"atnicn", K::SkipDestination}, {"xe", K::SkipDestination}, {"tc", K::SkipDestination},
    {"txe", K::SkipDestination}, {"rxe", K::SkipDestination}, {"bkmkstart", K::SkipDestination},
    {"bkmkend", K::SkipDestination}, {"shprslt", K::SkipDestination},
    {"shpinst", K::SkipDestination}, {"do", K::SkipDestination},
    {"nonesttables", K::SkipDestination}, {"background", K::SkipDestination},
    {"wgrffmtfilter", K::SkipDestination}, {"mmathPr", K::SkipDestination},
    {"sv", K::SkipDestination}, {"sn", K::SkipDestination}, {"result", K::SkipDestination},
    {"protusertbl", K::SkipDestination}, {"xmlopen", K::SkipDestination},
    {"xmlattrname", K::SkipDestination}, {"xmlattrvalue", K::SkipDestination},
    {"upr", K::SkipDestination}, {"passwordhash", K::SkipDestination},
  };
  return table;
}

} // namespace

TKeyword lookupKeyword(std::string_view word)
{
  const auto& table = keywordTable();
  const auto it = table.find(word);
  return it == table.end() ? K::Unknown : it->second;
}

} // namespace rtf
