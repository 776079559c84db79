#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QPointF>
#include <QRectF>

namespace vantorelle {

// A two-colour linear gradient whose end points are given in unit coordinates of the shape it
// fills ((0, 0) top left, (1, 1) bottom right), so it fits any rectangle.
struct LinearGradientSpec {
    QPointF start;
    QColor first;
    QPointF end;
    QColor second;

    QLinearGradient in(const QRectF& rect) const
    {
        QLinearGradient gradient(rect.left() + start.x() * rect.width(), rect.top() + start.y() * rect.height(),
                                 rect.left() + end.x() * rect.width(), rect.top() + end.y() * rect.height());
        gradient.setColorAt(0.0, first);
        gradient.setColorAt(1.0, second);
        return gradient;
    }
};

// Every colour of the interface. All opaque sRGB; the window forces the light scheme, so none
// of them follows the desktop's appearance.
namespace Palette {

inline constexpr QColor text{29, 29, 31};
inline constexpr QColor textSoft{72, 72, 74};
inline constexpr QColor grey{110, 110, 115};
inline constexpr QColor greyLight{134, 134, 139};
inline constexpr QColor greyFaint{161, 161, 166};
inline constexpr QColor blue{0, 122, 255};
inline constexpr QColor sidebar{242, 242, 246};
inline constexpr QColor hairline{226, 226, 230};
inline constexpr QColor divider{236, 236, 240};
inline constexpr QColor cardGrey{247, 249, 252};
inline constexpr QColor cardGreyBorder{230, 233, 239};
inline constexpr QColor iconWell{238, 240, 244};
inline constexpr QColor rankWhiteCard{182, 196, 214};
inline constexpr QColor rankGreyCard{197, 208, 221};
inline constexpr QColor arrowBorder{214, 214, 219};
inline constexpr QColor barGreen{185, 242, 197};
inline constexpr QColor switchGreen{52, 199, 89};
// Text stands out 4.5:1 or more from what it lies on. Two card texts need colours of their
// own for that: a caption on the active card's gradient, which only a grey this close to black
// manages all across, and the line saying a connection failed, the standard red darkened until
// a grey card keeps it readable.
inline constexpr QColor captionOnActive{23, 23, 24};
inline constexpr QColor failureRed{231, 0, 0};

// Diagonal: lightest at the top leading corner.
inline constexpr LinearGradientSpec activeGradient{QPointF(0, 0), QColor(47, 150, 255), QPointF(1, 1),
                                               QColor(0, 113, 232)};
// Straight down, ending in `blue`.
inline constexpr LinearGradientSpec markGradient{QPointF(0.5, 0), QColor(74, 163, 255), QPointF(0.5, 1),
                                             QColor(0, 122, 255)};

} // namespace Palette

} // namespace vantorelle
