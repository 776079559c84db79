#include "ui/Symbols.h"

#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>

// Resources of a static library must be registered by hand (outside any namespace).
static void registerSymbolResources()
{
    Q_INIT_RESOURCE(symbols);
}

namespace vantorelle {

namespace {

constexpr double viewBoxHeight = 24.0;

QString resourcePath(const QString& name)
{
    static const bool registered = [] {
        registerSymbolResources();
        return true;
    }();
    (void)registered;
    return QStringLiteral(":/symbols/%1.svg").arg(name);
}

QByteArray source(const QString& name)
{
    QFile file(resourcePath(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// Line width in drawing units: by weight, and never thinner than one device pixel so that
// small symbols stay legible.
double strokeWidth(FontWeight weight, double pointSize, double devicePixelRatio)
{
    double base = 1.8;
    switch (weight) {
    case FontWeight::regular: base = 1.8; break;
    case FontWeight::medium: base = 2.0; break;
    case FontWeight::semibold: base = 2.3; break;
    case FontWeight::bold: base = 2.6; break;
    case FontWeight::heavy: base = 3.0; break;
    }
    const double onePixel = viewBoxHeight / std::max(pointSize * devicePixelRatio, 1.0);
    return std::max(base, onePixel);
}

} // namespace

namespace Symbols {

bool exists(const QString& name)
{
    return QFile::exists(resourcePath(name));
}

QSizeF size(const QString& name, double pointSize)
{
    QSvgRenderer renderer(source(name));
    if (!renderer.isValid()) return {};
    const QRectF box = renderer.viewBoxF();
    if (box.height() <= 0.0) return {};
    return {pointSize * box.width() / box.height(), pointSize};
}

QPixmap pixmap(const QString& name, double pointSize, const QColor& color, FontWeight weight,
               double devicePixelRatio)
{
    const QString key = QStringLiteral("vantorelle-symbol:%1:%2:%3:%4:%5")
                            .arg(name)
                            .arg(pointSize)
                            .arg(color.rgba())
                            .arg(static_cast<int>(weight))
                            .arg(devicePixelRatio);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached)) return cached;

    QByteArray svg = source(name);
    if (svg.isEmpty()) return {};
    const double stroke = strokeWidth(weight, pointSize, devicePixelRatio);
    svg.replace("stroke-width=\"2\"", QByteArray("stroke-width=\"") + QByteArray::number(stroke, 'f', 3) + '"');
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) return {};

    const QSizeF logical = size(name, pointSize);
    const QSize pixels(std::max(1, static_cast<int>(std::ceil(logical.width() * devicePixelRatio))),
                       std::max(1, static_cast<int>(std::ceil(logical.height() * devicePixelRatio))));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), logical * devicePixelRatio));
        // The drawing is black: keep its coverage and paint it in the wanted colour.
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(image.rect(), color);
    }
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, result);
    return result;
}

void paint(QPainter& painter, const QString& name, const QPointF& centre, double pointSize, const QColor& color,
           FontWeight weight)
{
    const double ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap image = pixmap(name, pointSize, color, weight, ratio);
    if (image.isNull()) return;
    // The cached image's own size, so a repaint does not parse the drawing again.
    const QSizeF logical = image.deviceIndependentSize();
    painter.drawPixmap(centre - QPointF(logical.width() / 2, logical.height() / 2), image);
}

QPixmap themePixmap(const QString& iconName, double pointSize, const QColor& color, double devicePixelRatio)
{
    const QString key = QStringLiteral("vantorelle-theme-symbol:%1:%2:%3:%4:%5")
                            .arg(QIcon::themeName(), iconName)
                            .arg(pointSize)
                            .arg(color.rgba())
                            .arg(devicePixelRatio);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached)) return cached;
    const int side = static_cast<int>(std::ceil(pointSize));
    QImage image = QIcon::fromTheme(iconName).pixmap(QSize(side, side), devicePixelRatio).toImage().convertToFormat(
        QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    {
        // A symbolic icon is drawn in one colour: keep its coverage and paint it in ours.
        QPainter tint(&image);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(image.rect(), color);
    }
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, result);
    return result;
}

QString themeSymbol(const QStringList& names)
{
    for (const QString& name : names) {
        QStringList parts = name.split(QLatin1Char('-'), Qt::SkipEmptyParts);
        while (!parts.isEmpty()) {
            const QString symbolic = parts.join(QLatin1Char('-')) + QStringLiteral("-symbolic");
            if (QIcon::hasThemeIcon(symbolic)) return symbolic;
            if (parts.size() <= 2) break;
            parts.removeLast();
        }
    }
    return {};
}

} // namespace Symbols

SymbolView::SymbolView(QString name, double pointSize, FontWeight weight, QColor color, int frameWidth,
                       QWidget* parent)
    : QWidget(parent), name_(std::move(name)), pointSize_(pointSize), weight_(weight), color_(color),
      frameWidth_(frameWidth)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SymbolView::setSymbol(const QString& name)
{
    if (name == name_) return;
    name_ = name;
    updateGeometry();
    update();
}

void SymbolView::setThemeIcon(const QString& iconName)
{
    if (iconName == themeIcon_) return;
    themeIcon_ = iconName;
    updateGeometry();
    update();
}

void SymbolView::setColor(const QColor& color)
{
    if (color == color_) return;
    color_ = color;
    update();
}

QSize SymbolView::sizeHint() const
{
    const QSizeF drawn = themeIcon_.isEmpty() ? Symbols::size(name_, pointSize_) : QSizeF(pointSize_, pointSize_);
    const int width = frameWidth_ > 0 ? frameWidth_ : static_cast<int>(std::ceil(drawn.width()));
    return {width, static_cast<int>(std::ceil(drawn.height()))};
}

void SymbolView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double ratio = devicePixelRatioF();
    const QPixmap image = themeIcon_.isEmpty() ? Symbols::pixmap(name_, pointSize_, color_, weight_, ratio)
                                               : Symbols::themePixmap(themeIcon_, pointSize_, color_, ratio);
    if (image.isNull()) return;
    const QSizeF logical = image.deviceIndependentSize();
    painter.drawPixmap(QRectF(rect()).center() - QPointF(logical.width() / 2, logical.height() / 2), image);
}

} // namespace vantorelle
