#pragma once

#include "services/AppIdentity.h"
#include "services/BluetoothConnector.h"
#include "services/LoginItem.h"
#include "support/core/EngineFixture.h"
#include "support/core/TempFolder.h"

#include <QColor>
#include <QLocale>
#include <QImage>
#include <QPoint>
#include <QString>

#include <filesystem>
#include <functional>
#include <set>
#include <vector>

class QLabel;
class QWidget;

namespace vantorelle::test {

// A left click at `position` (in `widget`'s coordinates), delivered to the widget under it
// as the window system would (propagating up while nobody takes it).
void click(QWidget& widget, QPoint position);
void click(QWidget& widget);
// Makes a shown window the active one, as the window system does, and waits until it is.
bool activate(QWidget& window);

// Renders a widget (with its children) into an image of its logical size.
QImage snapshot(QWidget& widget);
bool sameColour(QColor a, QColor b, int tolerance = 0);
// Pixels of `image` inside `area` that have exactly (or within tolerance) `colour`.
int countPixels(const QImage& image, const QRect& area, QColor colour, int tolerance = 0);
// Brightness used to compare gradient ends.
int lightness(QColor colour);

// What grab() gives on a screen of pixel ratio `ratio`, whatever the test's screen is.
QImage grabAt(QWidget& widget, double ratio);
// Contrast of two opaque colours by their relative luminance, as the web's accessibility
// guidelines define it: 1 (none) to 21 (black on white).
double contrastRatio(QColor a, QColor b);
// How text drawn inside `area` (image pixels) stands out from what lies around it. Each
// column's background is the area's top row, which a line of text leaves clear; the text's
// colour is the pixel farthest from its background (the core of a stroke: antialiasing only
// mixes the two along the edges), taken against the least favourable background under it.
double textContrast(const QImage& image, const QRect& area);

// The first label under `root` showing exactly `text`, or null.
QLabel* findLabel(QWidget& root, const QString& text);

// The program's texts in another language while it lives: `language` ("de", "pt_BR" …) as the
// session's, through the program's own loader, or "pseudo": every text about 40 % longer and
// accented, built in the test tree. Widgets made meanwhile show it.
class WindowLanguage {
public:
    explicit WindowLanguage(const QString& language);
    ~WindowLanguage();
    WindowLanguage(const WindowLanguage&) = delete;
    WindowLanguage& operator=(const WindowLanguage&) = delete;

private:
    QLocale before_;
};

// Where screenshots go: <build>/screenshots (created on demand).
std::filesystem::path screenshotFolder();

// Bluetooth without a bus: BlueZ knows the addresses in `known` (upper case) and answers a
// connection when the test says so.
class FakeBluetooth final : public BluetoothConnector {
public:
    std::set<QString> known;
    std::vector<QString> asked;

    bool canConnect(const QString& address) const override { return known.contains(address.toUpper()); }
    bool isConnecting(const QString& address) const override { return pending_.contains(address.toUpper()); }
    void connectDevice(const QString& address) override
    {
        asked.push_back(address);
        pending_.insert(address.toUpper());
        emit changed();
    }
    // `failure` empty: connected.
    void answer(const QString& address, const QString& failure = {})
    {
        pending_.erase(address.toUpper());
        emit changed();
        emit finished(address, failure);
    }

private:
    std::set<QString> pending_;
};

// A throw-away installation: <prefix>/bin/vantorelle and its desktop entry, so an identity
// made from it is present, and a configuration folder for its login entry.
struct FakeInstallation {
    FakeInstallation();
    TempFolder prefix;
    TempFolder config;
    std::filesystem::path executable;
    AppIdentity identity() const { return AppIdentity::forExecutable(executable); }
    // What the window and the shell are given to reach the login entry.
    std::function<LoginItem()> loginItems() const
    {
        return [this] { return LoginItem(identity(), config / "autostart"); };
    }
};

} // namespace vantorelle::test
