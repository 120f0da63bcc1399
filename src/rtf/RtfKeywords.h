#pragma once

#include <string_view>

namespace rtf {

// The control words the reader acts on. Destinations whose content is never text are listed
// as SkipDestination so that their groups are dropped whole.
enum class TKeyword : unsigned char {
  Unknown,
  SkipDestination,
  // document and fonts
  Rtf, Ansi, Mac, Pc, Pca, AnsiCpg, Deff, FontTable, Font, FontCharset, FontCodePage, FontName,
  ColorTable, Red, Green, Blue,
  // special characters
  Par, Line, Tab, EmDash, EnDash, Bullet, LQuote, RQuote, LDblQuote, RDblQuote, Unicode, UnicodeSkip,
  Bin, Sect, Page,
  // character formatting
  Plain, FontSize, Bold, Italic, Underline, UnderlineDotted, UnderlineDash, UnderlineDashDot,
  UnderlineDashDotDot, UnderlineWave, UnderlineOther, UnderlineNone, Strike, StrikeDouble, Super,
  Sub, NoSuperSub, Hidden, ForeColor, Highlight, BackColor,
  // paragraph formatting
  Pard, AlignLeft, AlignCenter, AlignRight, AlignJustify, LeftIndent, RightIndent, FirstIndent,
  SpaceBefore, SpaceAfter, InTable,
  // lists
  PnText, Pn, PnLevelBullet, PnLevelBody, PnLevelCont, PnLevel, PnDecimal, PnUpperLetter,
  PnLowerLetter, PnUpperRoman, PnLowerRoman, PnStart, ListText, ListTable, List, ListId, ListLevel,
  LevelNfc, ListOverrideTable, ListOverride, Ls, Ilvl,
  // fields, pictures, tables
  Field, FieldInstruction, FieldResult, Pict, ShapePicture, PngBlip, JpegBlip, PicWidth,
  PicHeight, PicWidthGoal, PicHeightGoal, PicScaleX, PicScaleY, RowDefaults, CellX, Cell, Row,
  NestCell, NestRow,
};

TKeyword lookupKeyword(std::string_view word);

} // namespace rtf
