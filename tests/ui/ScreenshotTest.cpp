// Pictures of the window for a person to look at, saved under <build>/screenshots.
#include "UiTestSupport.h"

#include "support/platform/QtWait.h"
#include "ui/AppMark.h"
#include "ui/MainWindow.h"
#include "ui/Symbols.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace vantorelle::test {
namespace {

void saveImage(const QImage& image, const char* name)
{
    const QString path = QString::fromStdString((screenshotFolder() / name).string());
    ASSERT_TRUE(image.save(path)) << path.toStdString();
}

// A part of a picture three times as large, for looking at the fine drawing.
void saveDetail(const QImage& image, const QRect& area, const char* name)
{
    saveImage(image.copy(area).scaled(area.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation), name);
}

void save(QWidget& widget, const char* name)
{
    pumpEvents(150ms); // lets switch knobs and other short animations settle
    const QString path = QString::fromStdString((screenshotFolder() / name).string());
    ASSERT_TRUE(widget.grab().save(path)) << path.toStdString();
}

TEST(Screenshots, WindowOnEachPane)
{
    FakeEngineParts parts;
    parts.audio.add(FakeAudioSystem::device(1, "mic-usb", "USB Microphone", true, false));
    parts.audio.add(FakeAudioSystem::device(2, "spk", "Laptop Speakers", false, true, true));
    const auto engine = parts.makeEngine();
    engine->start();
    FakeInstallation installation;
    TempFolder config;
    MainWindow window(*engine, [&] { return LoginItem(installation.identity(), config / "autostart"); });
    window.show();

    save(window, "window-input.png");
    window.setPane(Pane::output);
    save(window, "window-output.png");
    window.setPane(Pane::settings);
    save(window, "window-settings.png");

    const QImage image = snapshot(window);
    saveDetail(image, QRect(0, 30, 210, 160), "detail-sidebar.png");
    saveDetail(image, QRect(220, 455, 300, 105), "detail-preview.png");
    saveDetail(image, QRect(760, 110, 110, 110), "detail-switches.png");
}

TEST(Screenshots, SettingsPaneWithTheLoginError)
{
    FakeEngineParts parts;
    const auto engine = parts.makeEngine();
    TempFolder config;
    MainWindow window(*engine, [&] {
        return LoginItem(AppIdentity::forExecutable("/src/build/vantorelle"), config / "autostart");
    });
    window.show();
    window.setPane(Pane::settings);
    auto rows = window.paneView()->findChildren<QWidget*>();
    for (QWidget* widget : rows) {
        if (widget->accessibleName() == QStringLiteral("Launch at login")) click(*widget);
    }
    save(window, "window-settings-login-error.png");
}

TEST(Screenshots, SymbolSheetAndMarks)
{
    const QStringList names{"mic", "mic.fill", "speaker.wave.2", "gearshape", "laptopcomputer",
                            "headphones", "video", "display", "chevron.up", "chevron.down"};
    QImage sheet(40 + 60 * names.size(), 220, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        int x = 40;
        for (const QString& name : names) {
            Symbols::paint(painter, name, QPointF(x, 30), 12, Qt::black, FontWeight::medium);
            Symbols::paint(painter, name, QPointF(x, 70), 24, Qt::black);
            Symbols::paint(painter, name, QPointF(x, 120), 9, Qt::black, FontWeight::semibold);
            x += 60;
        }
        AppMark::paint(painter, QRectF(20, 150, 34, 34));
        AppMark::paint(painter, QRectF(80, 150, 30, 30));
        AppMark::paint(painter, QRectF(130, 140, 64, 64));
    }
    ASSERT_TRUE(sheet.save(QString::fromStdString((screenshotFolder() / "symbols.png").string())));
}

} // namespace
} // namespace vantorelle::test
