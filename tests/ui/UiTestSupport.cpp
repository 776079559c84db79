#include "UiTestSupport.h"

#include "support/platform/DBusServices.h"
#include "support/platform/QtWait.h"
#include "ui/LightAppearance.h"
#include "ui/Translations.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTranslator>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>

namespace vantorelle::test {

namespace {

// Every UI test sees the same font and the forced light look, so pixel checks and
// screenshots match on every machine (the Inter font comes from Debian's fonts-inter).
class UiEnvironment final : public ::testing::Environment {
public:
    void SetUp() override
    {
        QApplication::setFont(QFont(QStringLiteral("Inter")));
        applyLightAppearance();
    }
};

[[maybe_unused]] ::testing::Environment* const uiEnvironment =
    ::testing::AddGlobalTestEnvironment(new UiEnvironment);
// Private buses, for the single-instance tests.
[[maybe_unused]] ::testing::Environment* const dbusEnvironment =
    ::testing::AddGlobalTestEnvironment(new DBusServicesEnvironment);

void send(QWidget& target, QEvent::Type type, QPointF local)
{
    const QPointF global = target.mapToGlobal(local);
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, local, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

} // namespace

void click(QWidget& widget, QPoint position)
{
    QWidget* target = widget.childAt(position);
    if (target == nullptr) target = &widget;
    const QPointF local = target->mapFrom(&widget, QPointF(position));
    send(*target, QEvent::MouseButtonPress, local);
    send(*target, QEvent::MouseButtonRelease, local);
}

void click(QWidget& widget)
{
    click(widget, widget.rect().center());
}

bool activate(QWidget& window)
{
    window.activateWindow();
    return waitUntil([&window] { return QApplication::activeWindow() == &window; });
}

QImage snapshot(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

bool sameColour(QColor a, QColor b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

int countPixels(const QImage& image, const QRect& area, QColor colour, int tolerance)
{
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            if (sameColour(image.pixelColor(x, y), colour, tolerance)) ++count;
        }
    }
    return count;
}

int lightness(QColor colour)
{
    return colour.red() + colour.green() + colour.blue();
}

QImage grabAt(QWidget& widget, double ratio)
{
    QPixmap pixmap(widget.size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    widget.render(&pixmap);
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

namespace {

double relativeLuminance(QColor colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

} // namespace

double contrastRatio(QColor a, QColor b)
{
    const double first = relativeLuminance(a);
    const double second = relativeLuminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

double textContrast(const QImage& image, const QRect& area)
{
    const QRect clipped = area.intersected(image.rect());
    const auto background = [&](int x) { return image.pixelColor(x, clipped.top()); };
    const auto standOut = [&](int x) {
        double most = 1.0;
        for (int y = clipped.top() + 1; y <= clipped.bottom(); ++y) {
            most = std::max(most, contrastRatio(image.pixelColor(x, y), background(x)));
        }
        return most;
    };
    std::optional<QColor> text;
    double most = 1.0;
    for (int x = clipped.left(); x <= clipped.right(); ++x) {
        for (int y = clipped.top() + 1; y <= clipped.bottom(); ++y) {
            const double contrast = contrastRatio(image.pixelColor(x, y), background(x));
            if (contrast > most) {
                most = contrast;
                text = image.pixelColor(x, y);
            }
        }
    }
    if (!text) return 1.0;
    // The text's colour against the least favourable background it lies on (a gradient's),
    // over the columns its strokes cross.
    double least = most;
    for (int x = clipped.left(); x <= clipped.right(); ++x) {
        if (standOut(x) >= 1.0 + (most - 1.0) / 2) least = std::min(least, contrastRatio(*text, background(x)));
    }
    return least;
}

QLabel* findLabel(QWidget& root, const QString& text)
{
    for (QLabel* label : root.findChildren<QLabel*>()) {
        if (label->text() == text) return label;
    }
    return nullptr;
}

WindowLanguage::WindowLanguage(const QString& language) : before_(QLocale())
{
    if (language == QLatin1String("pseudo")) {
        auto pseudo = std::make_unique<QTranslator>(qApp);
        EXPECT_TRUE(pseudo->load(QStringLiteral(VANTORELLE_PSEUDO_QM)));
        QCoreApplication::installTranslator(pseudo.release());
        return;
    }
    QLocale::setDefault(QLocale(language));
    installTranslations(*qApp);
}

WindowLanguage::~WindowLanguage()
{
    for (QTranslator* translator : qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    QLocale::setDefault(before_);
}

std::filesystem::path screenshotFolder()
{
    const std::filesystem::path folder = std::filesystem::path(VANTORELLE_BUILD_DIR) / "screenshots";
    std::filesystem::create_directories(folder);
    return folder;
}

FakeInstallation::FakeInstallation() : executable(prefix / "bin" / "vantorelle")
{
    std::filesystem::create_directories(prefix / "bin");
    std::filesystem::create_directories(prefix / "share" / "applications");
    writeFile(executable, "#!/bin/sh\n");
    writeFile(prefix / "share" / "applications" / "vantorelle.desktop", "[Desktop Entry]\nName=Vantorelle\n");
}

} // namespace vantorelle::test
