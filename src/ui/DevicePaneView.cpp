#include "ui/DevicePaneView.h"

#include "engine/SwitchEngine.h"
#include "ui/Accessibility.h"
#include "ui/ArrowButton.h"
#include "ui/DeviceCard.h"
#include "ui/EngineChanges.h"
#include "ui/CardStack.h"
#include "ui/PaneScrollArea.h"
#include "ui/Palette.h"
#include "ui/SettingRow.h"
#include "ui/ShadowCanvas.h"
#include "ui/SwitchToggle.h"
#include "ui/Typography.h"

#include <QLabel>
#include <QVBoxLayout>

#include <set>

namespace vantorelle {

namespace {

QLabel* wrappingLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
{
    QLabel* label = makeLabel(text, font, color, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

DevicePaneView::DevicePaneView(SwitchEngine& engine, Direction direction,
                               InputLevelMeter::Options meterOptions, BluetoothConnector* bluetooth,
                               QWidget* parent)
    : QWidget(parent), engine_(engine), direction_(direction),
      meter_(new InputLevelMeter(std::move(meterOptions), this)), bluetooth_(bluetooth),
      changes_(new EngineChanges(engine, this)), scroll_(new PaneScrollArea(this)),
      canvas_(new ShadowCanvas), cardList_(new QWidget(canvas_)), cardLayout_(new QVBoxLayout(cardList_)),
      empty_(makeLabel(emptyText(direction), uiFont(13, FontWeight::regular), Palette::grey, canvas_)),
      autoSwitch_(new SettingRow(autoSwitchTitle(direction), autoSwitchSubtitle(),
                                 BoolBinding{[this] { return engine_.autoSwitch(direction_); },
                                             [this](bool value) { engine_.setAutoSwitch(value, direction_); }}))
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll_);

    canvas_->setAutoFillBackground(false);

    auto* stack = new QVBoxLayout(canvas_);
    stack->setContentsMargins(26, 22, 26, 22);
    stack->setSpacing(14);

    auto* header = new QVBoxLayout;
    header->setSpacing(4);
    QLabel* heading = makeLabel(title(direction), uiFont(20, FontWeight::bold), Palette::text, canvas_);
    QLabel* explained = wrappingLabel(explanation(direction), uiFont(13, FontWeight::regular), Palette::grey, canvas_);
    setAccessibleRole(*heading, QAccessible::Heading, heading->text());
    header->addWidget(heading);
    header->addWidget(explained);
    stack->addLayout(header);

    cardLayout_->setContentsMargins(0, 0, 0, 0);
    cardLayout_->setSpacing(8);
    setAccessibleRole(*cardList_, QAccessible::List, QStringLiteral("Priority list"));
    stack->addWidget(cardList_);
    empty_->setAlignment(Qt::AlignCenter);
    empty_->setMinimumHeight(120);
    stack->addWidget(empty_);

    auto* autoSwitchCard = new CardStack(canvas_);
    autoSwitchCard->addRow(autoSwitch_);
    stack->addWidget(autoSwitchCard);
    QLabel* footnote = wrappingLabel(footer(direction), uiFont(11, FontWeight::regular), Palette::greyFaint, canvas_);
    stack->addWidget(footnote);
    stack->addStretch(1);
    // Screen readers read the children in their order: the title and explanation first. None
    // of them overlap, so the stacking order this sets changes nothing on screen.
    for (QWidget* part : {static_cast<QWidget*>(heading), static_cast<QWidget*>(explained), cardList_,
                          static_cast<QWidget*>(empty_), static_cast<QWidget*>(autoSwitchCard),
                          static_cast<QWidget*>(footnote)}) {
        part->raise();
    }
    scroll_->setContent(canvas_);

    canvas_->setShadows([this] {
        std::vector<ShadowCanvas::CastShadow> shadows;
        for (const DeviceCard* card : order_) {
            const std::optional<ShadowSpec> shadow = card->shadow();
            if (!shadow || !card->isVisible()) continue;
            QPainterPath shape = card->cardShape();
            shape.translate(card->mapTo(canvas_, QPoint(0, 0)));
            shadows.push_back({shape, *shadow, card->drawnOpacity()});
        }
        return shadows;
    });

    connect(changes_, &EngineChanges::changed, this, &DevicePaneView::rebuild);
    rebuild();
}

DevicePaneView::~DevicePaneView()
{
    // The pane goes away: the meter stops with it, visible or not.
    meter_->stop();
}

std::optional<std::string> DevicePaneView::nextInLineUID(const std::vector<DeviceRow>& rows)
{
    for (const DeviceRow& row : rows) {
        if (row.isConnected && !row.lidBlocked && !row.isActive && row.isAutomatic) return row.uid;
    }
    return std::nullopt;
}

QString DevicePaneView::title(Direction direction)
{
    return direction == Direction::input ? QStringLiteral("Input Devices") : QStringLiteral("Output Devices");
}

QString DevicePaneView::explanation(Direction direction)
{
    return direction == Direction::input
               ? QStringLiteral("The highest-ranked microphone that is connected becomes active. Reorder with the arrows.")
               : QStringLiteral("Sound plays through the highest-ranked device that is connected. Reorder with the arrows.");
}

QString DevicePaneView::emptyText(Direction direction)
{
    return direction == Direction::input ? QStringLiteral("No input devices yet.")
                                         : QStringLiteral("No output devices yet.");
}

QString DevicePaneView::autoSwitchTitle(Direction direction)
{
    return direction == Direction::input ? QStringLiteral("Auto-switch input") : QStringLiteral("Auto-switch output");
}

QString DevicePaneView::autoSwitchSubtitle()
{
    return QStringLiteral("Keeps the highest-ranked usable device active");
}

QString DevicePaneView::footer(Direction direction)
{
    return direction == Direction::input
               ? QStringLiteral("If the laptop's lid is closed, the built-in microphone becomes unavailable and the "
                                "next device in the stack becomes active.")
               : QStringLiteral("When the active device disconnects, sound falls back to the next connected seat "
                                "instantly — no clicks in the system's sound settings.");
}

std::vector<DeviceCard*> DevicePaneView::cards() const
{
    return order_;
}

DeviceCard* DevicePaneView::card(const std::string& uid) const
{
    const auto found = cardsByUID_.find(uid);
    return found == cardsByUID_.end() ? nullptr : found->second;
}

void DevicePaneView::rebuild()
{
    const std::vector<DeviceRow> rows = engine_.rows(direction_);
    updateCards(rows);
    cardList_->setVisible(!rows.empty());
    empty_->setVisible(rows.empty());
    autoSwitch_->refresh();
    canvas_->update();
}

void DevicePaneView::updateCards(const std::vector<DeviceRow>& rows)
{
    const std::optional<std::string> next = nextInLineUID(rows);
    InputLevelMeter* const cardMeter = direction_ == Direction::input ? meter_ : nullptr;

    std::vector<DeviceCard*> order;
    order.reserve(rows.size());
    std::set<std::string> seen;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const DeviceRow& row = rows[i];
        // A list that names one device twice still shows one card for it.
        if (!seen.insert(row.uid).second) continue;
        DeviceCard*& card = cardsByUID_[row.uid];
        if (card == nullptr) {
            card = new DeviceCard(engine_, direction_, cardMeter, bluetooth_, cardList_);
            connect(card, &DeviceCard::geometryChanged, canvas_, qOverload<>(&QWidget::update));
        }
        DeviceCard::State state;
        state.row = row;
        state.rank = static_cast<int>(i) + 1;
        state.count = static_cast<int>(rows.size());
        state.isFirst = i == 0;
        state.isLast = i + 1 == rows.size();
        state.isNextInLine = next.has_value() && *next == row.uid;
        card->setState(state);
        order.push_back(card);
    }

    for (auto it = cardsByUID_.begin(); it != cardsByUID_.end();) {
        if (seen.count(it->first) == 0) {
            // Later: the card may be the sender of the click that removed it.
            it->second->hide();
            it->second->deleteLater();
            it = cardsByUID_.erase(it);
        } else {
            ++it;
        }
    }

    if (order != order_) {
        for (DeviceCard* card : order_) cardLayout_->removeWidget(card);
        for (DeviceCard* card : order) cardLayout_->addWidget(card);
        order_ = std::move(order);
        // Tab follows the ranks (each card, then its arrows), then the auto-switch switch.
        QWidget* previous = nullptr;
        for (DeviceCard* card : order_) {
            for (QWidget* stop : {static_cast<QWidget*>(card), static_cast<QWidget*>(&card->upArrow()),
                                  static_cast<QWidget*>(&card->downArrow())}) {
                if (previous != nullptr) setTabOrder(previous, stop);
                previous = stop;
            }
        }
        if (previous != nullptr) setTabOrder(previous, &autoSwitch_->toggle());
    }
    for (DeviceCard* card : order_) card->show();
}

void DevicePaneView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (direction_ == Direction::input) meter_->start();
}

void DevicePaneView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    meter_->stop();
}

} // namespace vantorelle
