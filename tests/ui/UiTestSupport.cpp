#include "UiTestSupport.h"

#include "support/platform/DBusServices.h"
#include "support/platform/QtWait.h"
#include "ui/LightAppearance.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

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

QLabel* findLabel(QWidget& root, const QString& text)
{
    for (QLabel* label : root.findChildren<QLabel*>()) {
        if (label->text() == text) return label;
    }
    return nullptr;
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
