#include "toolkit/qt/qt_convert.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPixmap>
#include <array>
#include <string_view>

namespace toolkit::qt {
namespace {

// The classic scheme for the system colours the palette has no role for.
constexpr std::array<Colour, 25> kClassicScheme = {
    0xC8C8C8, 0x000000, 0x99B4D1, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000,
    0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D,
    0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xE1FFFF,
};

QColor fromBgr(Colour c) {
  return QColor(redOf(c), greenOf(c), blueOf(c));
}

bool installed(const QString& family) {
  return QFontDatabase::hasFamily(family);
}

}  // namespace

QColor toQColor(Colour colour, const QPalette& palette) {
  if (!isSystemColour(colour)) return fromBgr(colour);
  switch (systemColourIndex(colour)) {
    case 5:
      return palette.color(QPalette::Base);
    case 7:
      return palette.color(QPalette::WindowText);
    case 8:
      return palette.color(QPalette::Text);
    case 15:
      return palette.color(QPalette::Button);
    default:
      break;
  }
  const auto index = static_cast<std::size_t>(systemColourIndex(colour));
  return index < kClassicScheme.size() ? fromBgr(kClassicScheme[index]) : QColor(Qt::black);
}

QFont toQFont(const Font& font, std::span<const FontStandIn> standIns) {
  QString family = QString::fromStdString(font.face);
  double points = font.points;
  int stretch = 0;           // the face as designed
  double wordSpacing = 0;    // ems
  double letterSpacing = 0;  // ems
  if (!installed(family)) {
    if (const FontStandIn* s = findFontStandIn(standIns, font.face)) {
      family = QString::fromUtf8(s->standIn.data(), static_cast<int>(s->standIn.size()));
      points *= s->sizeScale;
      stretch = s->stretch;
      wordSpacing = s->wordSpacing;
      letterSpacing = s->letterSpacing;
    }
  }
  QFont f(family);
  f.setPointSizeF(points);
  f.setWeight(static_cast<QFont::Weight>(font.weight));
  f.setItalic(font.italic);
  if (stretch > 0) f.setStretch(stretch);
  if (wordSpacing > 0) f.setWordSpacing(wordSpacing * QFontInfo(f).pixelSize());
  if (letterSpacing > 0) {
    f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing * QFontInfo(f).pixelSize());
  }
  return f;
}

QCursor loadHandCursor(const PointerPicture& pointer) {
  const QPixmap picture(
      QString::fromUtf8(pointer.picture.data(), static_cast<int>(pointer.picture.size())));
  if (picture.isNull()) return QCursor(Qt::PointingHandCursor);
  return QCursor(picture, pointer.hotX, pointer.hotY);
}

QRect toPixels(Twips left, Twips top, Twips width, Twips height) {
  const int x0 = twipsToPixels(left);
  const int y0 = twipsToPixels(top);
  const int x1 = twipsToPixels(left + width);
  const int y1 = twipsToPixels(top + height);
  return QRect(x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0));
}

Qt::Alignment toQtAlignment(Alignment alignment) {
  switch (alignment) {
    case Alignment::Right:
      return Qt::AlignRight | Qt::AlignVCenter;
    case Alignment::Center:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    case Alignment::Left:
      break;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace toolkit::qt
