// The drawing and control pieces every view is built from.
#include "UiTestSupport.h"

#include "support/platform/QtWait.h"
#include "ui/AppMark.h"
#include "ui/ClickArea.h"
#include "ui/ContextMenu.h"
#include "ui/Drawing.h"
#include "ui/EngineChanges.h"
#include "ui/LinearAnimator.h"
#include "ui/Palette.h"
#include "ui/SettingRow.h"
#include "ui/SwitchToggle.h"
#include "ui/Symbols.h"

#include <QAccessible>
#include <QMenu>
#include <QPainter>
#include <QPointer>

#include <gtest/gtest.h>

#include <array>
#include <memory>

using namespace std::chrono_literals;

namespace vantorelle::test {
namespace {

TEST(Palette, ColoursAreTheExactSrgbValuesAndGradientsRunLightToDark)
{
    EXPECT_EQ(Palette::text, QColor(0x1D, 0x1D, 0x1F));
    EXPECT_EQ(Palette::switchGreen, QColor(0x34, 0xC7, 0x59));
    EXPECT_EQ(Palette::blue, QColor(0x00, 0x7A, 0xFF));
    EXPECT_EQ(Palette::sidebar, QColor(0xF2, 0xF2, 0xF6));
    EXPECT_EQ(Palette::hairline, QColor(0xE2, 0xE2, 0xE6));
    EXPECT_NEAR(Palette::text.redF(), 29.0 / 255.0, 1e-6);
    for (const QColor& colour : {Palette::text, Palette::textSoft, Palette::grey, Palette::greyLight, Palette::greyFaint,
                                 Palette::blue, Palette::sidebar, Palette::hairline, Palette::divider, Palette::cardGrey,
                                 Palette::cardGreyBorder, Palette::iconWell, Palette::rankWhiteCard, Palette::rankGreyCard,
                                 Palette::arrowBorder, Palette::barGreen, Palette::switchGreen}) {
        EXPECT_EQ(colour.alpha(), 255);
        EXPECT_EQ(colour.spec(), QColor::Rgb);
    }

    EXPECT_EQ(Palette::markGradient.second, Palette::blue);
    EXPECT_GT(lightness(Palette::markGradient.first), lightness(Palette::markGradient.second));
    EXPECT_GT(lightness(Palette::activeGradient.first), lightness(Palette::activeGradient.second));

    // Fitted to a shape: the mark runs straight down, the active card corner to corner.
    const QLinearGradient mark = Palette::markGradient.in(QRectF(10, 20, 30, 30));
    EXPECT_EQ(mark.start(), QPointF(25, 20));
    EXPECT_EQ(mark.finalStop(), QPointF(25, 50));
    const QLinearGradient active = Palette::activeGradient.in(QRectF(0, 0, 200, 60));
    EXPECT_EQ(active.start(), QPointF(0, 0));
    EXPECT_EQ(active.finalStop(), QPointF(200, 60));
}

TEST(AppMark, IsAGradientSquareWithRoundedCornersAndACentredWhiteMicrophone)
{
    AppMark mark(30);
    EXPECT_EQ(mark.size(), QSize(30, 30));
    const QImage image = snapshot(mark);

    // Radius 7.8: the very corner stays clear.
    EXPECT_LT(image.pixelColor(0, 0).alpha(), 40);
    EXPECT_LT(image.pixelColor(29, 29).alpha(), 40);
    // Lighter at the top than at the bottom, which ends in the palette's blue.
    const QColor top = image.pixelColor(15, 1);
    const QColor bottom = image.pixelColor(15, 28);
    EXPECT_GT(lightness(top), lightness(bottom));
    EXPECT_TRUE(sameColour(bottom, Palette::blue, 12)) << bottom.name().toStdString();

    // The glyph: white rows, 13.2 points of symbol centred on the mark.
    int firstWhiteRow = -1;
    int lastWhiteRow = -1;
    for (int y = 0; y < 30; ++y) {
        if (countPixels(image, QRect(0, y, 30, 1), Qt::white, 40) > 0) {
            if (firstWhiteRow < 0) firstWhiteRow = y;
            lastWhiteRow = y;
        }
    }
    ASSERT_GE(firstWhiteRow, 0);
    const int glyphHeight = lastWhiteRow - firstWhiteRow + 1;
    EXPECT_GE(glyphHeight, 11);
    EXPECT_LE(glyphHeight, 14);
    EXPECT_NEAR((firstWhiteRow + lastWhiteRow) / 2.0, 14.5, 1.5);
    EXPECT_GT(countPixels(image, QRect(13, 8, 4, 6), Qt::white, 40), 0) << "the filled capsule";
}

TEST(AppMark, IconHasEverySizeTheDesktopAsksFor)
{
    const QIcon icon = AppMark::icon();
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(16, 16).size(), QSize(16, 16));
    EXPECT_EQ(icon.pixmap(256, 256).size(), QSize(256, 256));
}

TEST(Symbols, EveryNamedSymbolDrawsAtItsPointSizeInTheGivenColour)
{
    const std::array names{"mic", "mic.fill", "speaker.wave.2", "gearshape", "laptopcomputer",
                           "headphones", "video", "display", "chevron.up", "chevron.down"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Symbols::exists(QString::fromLatin1(name)));
        EXPECT_DOUBLE_EQ(Symbols::size(QString::fromLatin1(name), 16).height(), 16.0);
        const QImage image = Symbols::pixmap(QString::fromLatin1(name), 16, QColor(200, 0, 0)).toImage();
        ASSERT_EQ(image.height(), 16);
        int covered = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.alpha() == 0) continue;
                ++covered;
                EXPECT_EQ(pixel.green(), 0);
                EXPECT_EQ(pixel.blue(), 0);
            }
        }
        EXPECT_GT(covered, 10);
    }
    EXPECT_FALSE(Symbols::exists(QStringLiteral("no.such.symbol")));
    EXPECT_TRUE(Symbols::pixmap(QStringLiteral("no.such.symbol"), 16, Qt::black).isNull());
}

TEST(Symbols, HeavierWeightsDrawThickerLinesAndTheFilledMicCoversMore)
{
    auto coverage = [](const QString& name, FontWeight weight) {
        const QImage image = Symbols::pixmap(name, 24, Qt::black, weight).toImage();
        long sum = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) sum += image.pixelColor(x, y).alpha();
        }
        return sum;
    };
    EXPECT_GT(coverage(QStringLiteral("gearshape"), FontWeight::bold),
              coverage(QStringLiteral("gearshape"), FontWeight::regular));
    EXPECT_GT(coverage(QStringLiteral("mic.fill"), FontWeight::regular),
              coverage(QStringLiteral("mic"), FontWeight::regular));
}

TEST(SwitchToggle, AClickFlipsItAndReportsWhileSetCheckedStaysSilent)
{
    SwitchToggle toggle;
    EXPECT_EQ(toggle.sizeHint(), QSize(SwitchToggle::trackWidth, SwitchToggle::trackHeight));
    std::vector<bool> clicks;
    QObject::connect(&toggle, &SwitchToggle::clicked, [&](bool checked) { clicks.push_back(checked); });

    toggle.setChecked(true);
    EXPECT_EQ(static_cast<int>(clicks.size()), 0);

    toggle.resize(toggle.sizeHint());
    click(toggle);
    ASSERT_EQ(static_cast<int>(clicks.size()), 1);
    EXPECT_FALSE(clicks.at(0));
    EXPECT_FALSE(toggle.isChecked());

    toggle.setEnabled(false);
    click(toggle);
    EXPECT_EQ(static_cast<int>(clicks.size()), 1) << "a disabled switch takes no clicks";
}

TEST(SwitchToggle, OnIsTintedGreenAndOffIsNot)
{
    SwitchToggle toggle;
    toggle.resize(toggle.sizeHint());
    toggle.setChecked(true);
    // A pixel of the track away from the knob (which sits on the right when on).
    EXPECT_TRUE(sameColour(snapshot(toggle).pixelColor(5, 9), Palette::switchGreen, 3));
    toggle.setChecked(false);
    EXPECT_FALSE(sameColour(snapshot(toggle).pixelColor(26, 9), Palette::switchGreen, 60));
}

TEST(SettingRow, ShowsWhatTheOwnerKeepsEvenWhenItRefusesAWrite)
{
    bool value = false;
    bool accept = true;
    int writes = 0;
    SettingRow row(QStringLiteral("Title"), QStringLiteral("Subtitle"),
                   BoolBinding{[&] { return value; }, [&](bool v) {
                                   ++writes;
                                   if (accept) value = v;
                               }});
    row.resize(400, row.sizeHint().height());
    row.show();
    EXPECT_FALSE(row.toggle().isChecked());

    click(row.toggle());
    EXPECT_EQ(writes, 1);
    EXPECT_TRUE(value);
    EXPECT_TRUE(row.toggle().isChecked());

    accept = false;
    click(row.toggle());
    EXPECT_EQ(writes, 2);
    EXPECT_TRUE(row.toggle().isChecked()) << "the owner kept the old value";

    // A screen reader's Toggle action writes like a click.
    accept = true;
    QAccessible::queryAccessibleInterface(&row.toggle())->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(writes, 3);
    EXPECT_FALSE(value);

    value = true;
    row.refresh();
    EXPECT_TRUE(row.toggle().isChecked());
    EXPECT_EQ(writes, 3) << "refreshing never writes";
    EXPECT_EQ(row.toggle().accessibleName(), QStringLiteral("Title"));
}

TEST(EngineChanges, ChangesOfOneTurnGiveOneSignalOnTheNextTurn)
{
    FakeEngineParts parts;
    const auto engine = parts.makeEngine();
    EngineChanges changes(*engine);
    int emitted = 0;
    QObject::connect(&changes, &EngineChanges::changed, [&] { ++emitted; });

    StoredSettings settings = engine->settings();
    for (int i = 0; i < 3; ++i) {
        settings.notifySound = !settings.notifySound;
        engine->setSettings(settings);
    }
    EXPECT_EQ(emitted, 0) << "never inside the engine's own call";
    ASSERT_TRUE(waitUntil([&] { return emitted >= 1; }));
    pumpEvents(30ms);
    EXPECT_EQ(emitted, 1);

    engine->setAutoSwitch(false, Direction::output);
    ASSERT_TRUE(waitUntil([&] { return emitted == 2; }));
}

TEST(EngineChanges, AnAdapterGoneBeforeItsTurnNeverFires)
{
    FakeEngineParts parts;
    const auto engine = parts.makeEngine();
    int fired = 0;
    {
        EngineChanges changes(*engine);
        QObject::connect(&changes, &EngineChanges::changed, [&] { ++fired; });
        engine->setSettings(engine->settings());
    }
    pumpEvents(30ms);
    engine->setSettings(engine->settings());
    pumpEvents(30ms);
    EXPECT_EQ(fired, 0);
}

TEST(LinearAnimator, MovesLinearlyFromWhereverItIsToEachNewTarget)
{
    LinearAnimator animator;
    std::vector<double> seen;
    QObject::connect(&animator, &LinearAnimator::valueChanged, [&](double v) { seen.push_back(v); });

    animator.animateTo(1.0);
    EXPECT_DOUBLE_EQ(animator.target(), 1.0);
    ASSERT_TRUE(waitUntil([&] { return animator.value() == 1.0; }, 2s));
    EXPECT_FALSE(animator.isRunning());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));

    animator.animateTo(0.0);
    ASSERT_TRUE(waitUntil([&] { return animator.value() < 1.0; }, 2s));
    const double midway = animator.value();
    seen.clear();
    animator.animateTo(0.5);
    ASSERT_TRUE(waitUntil([&] { return !animator.isRunning(); }, 2s));
    EXPECT_DOUBLE_EQ(animator.value(), 0.5);
    for (const double v : seen) EXPECT_LE(v, std::max(midway, 0.5) + 1e-9) << "no jump back to the old start";

    animator.jumpTo(0.25);
    EXPECT_DOUBLE_EQ(animator.value(), 0.25);
    EXPECT_FALSE(animator.isRunning());
}

TEST(ContextMenu, NoItemsMeansNoMenuAndItemsRunTheirActions)
{
    QWidget owner;
    EXPECT_EQ(buildContextMenu({}, &owner), nullptr);

    int removed = 0;
    const std::unique_ptr<QMenu> menu =
        buildContextMenu({MenuItem{QStringLiteral("Remove from list"), true, [&] { ++removed; }}}, &owner);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    QAction* action = menu->actions().front();
    EXPECT_EQ(action->text(), QStringLiteral("Remove from list"));
    EXPECT_TRUE(action->property("destructive").toBool());
    // Written in red: red pixels in the drawn menu, and only there.
    const QImage drawn = snapshot(*menu);
    EXPECT_GT(countPixels(drawn, drawn.rect(), destructiveColor, 60), 5);
    const std::unique_ptr<QMenu> plain = buildContextMenu({MenuItem{QStringLiteral("Remove from list"), false, {}}}, &owner);
    const QImage plainDrawn = snapshot(*plain);
    EXPECT_EQ(countPixels(plainDrawn, plainDrawn.rect(), destructiveColor, 60), 0);
    action->trigger();
    EXPECT_EQ(removed, 1);
}

class RoundArea final : public ClickArea {
public:
    QPainterPath hitShape() const override { return continuousRoundedRect(QRectF(rect()), 10); }
};

TEST(ClickArea, CountsClicksInsideItsShapeOnly)
{
    RoundArea area;
    area.resize(100, 40);
    std::vector<bool> clicks;
    QObject::connect(&area, &ClickArea::clicked, [&] { clicks.push_back(true); });
    click(area, QPoint(95, 20));
    EXPECT_EQ(static_cast<int>(clicks.size()), 1);
    click(area, QPoint(0, 0));
    EXPECT_EQ(static_cast<int>(clicks.size()), 1) << "outside the rounded corner";
}

TEST(Drawing, ContinuousCornersStayInsideTheRectangleAndClearOfItsCorner)
{
    const QPainterPath path = continuousRoundedRect(QRectF(0, 0, 100, 50), 12);
    EXPECT_TRUE(path.contains(QPointF(50, 25)));
    EXPECT_FALSE(path.contains(QPointF(1, 1)));
    EXPECT_TRUE(path.contains(QPointF(50, 0.5)));
    EXPECT_EQ(path.boundingRect(), QRectF(0, 0, 100, 50));
    // A radius larger than the shape allows becomes a capsule, not a broken path.
    EXPECT_EQ(continuousRoundedRect(QRectF(0, 0, 40, 10), 30).boundingRect(), QRectF(0, 0, 40, 10));
    EXPECT_TRUE(continuousRoundedRect(QRectF(), 5).isEmpty());
}

TEST(Drawing, PaintedShadowFallsBelowTheShapeByItsOffset)
{
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainterPath shape;
    shape.addRect(QRectF(30, 30, 40, 20));
    {
        QPainter painter(&image);
        paintShadow(painter, shape, ShadowSpec{QColor(0, 0, 0, 200), 3, QPointF(0, 8)});
    }
    EXPECT_GT(image.pixelColor(50, 55).alpha(), 100) << "under the shape, pushed down";
    EXPECT_LT(image.pixelColor(50, 27).alpha(), image.pixelColor(50, 55).alpha());
    EXPECT_EQ(image.pixelColor(50, 5).alpha(), 0);
    EXPECT_GT(image.pixelColor(50, 40).alpha(), 0) << "the shadow also lies under the shape";
}

} // namespace
} // namespace vantorelle::test
