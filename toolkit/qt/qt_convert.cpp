#include "toolkit/qt/qt_convert.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <string_view>

namespace toolkit::qt {
namespace {

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
    case 17:
      return palette.color(QPalette::Disabled, QPalette::Text);
    case 18:
      return palette.color(QPalette::ButtonText);
    default:
      break;
  }
  // The standard scheme for the system colours the palette has no role for.
  return fromBgr(standardValue(colour));
}

QColor toQColor(Colour colour) {
  return toQColor(colour, QGuiApplication::palette());
}

namespace {

Colour toColour(const QColor& c) {
  return rgb(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
             static_cast<std::uint8_t>(c.blue()));
}

}  // namespace

ColourScheme currentScheme() {
  const QPalette palette = QGuiApplication::palette();
  ColourScheme scheme;
  scheme.dark = isDarkScheme(toColour(palette.color(QPalette::WindowText)),
                             toColour(palette.color(QPalette::Window)));
  return scheme;
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
