#include "ui/DevicePaneView.h"

#include "engine/SwitchEngine.h"
#include "ui/Accessibility.h"
#include "ui/CardStack.h"
#include "ui/DeviceCard.h"
#include "ui/DeviceCardList.h"
#include "ui/EngineChanges.h"
#include "ui/PaneScrollArea.h"
#include "ui/Palette.h"
#include "ui/SettingRow.h"
#include "ui/SettingsPaneView.h"
#include "ui/ShadowCanvas.h"
#include "ui/SwitchToggle.h"
#include "ui/Typography.h"

#include <QLabel>
#include <QVBoxLayout>

#include <array>
#include <initializer_list>

namespace vantorelle {

namespace {

// What the pane of each direction says, input first.
struct PaneWords {
    const char* title;
    const char* explanation;
    const char* empty;
    const char* autoSwitch;
    const char* footer;
    const char* callsSubtitle;
    const char* callsEmpty;
};
// Marked for the translation tools here, translated where they are shown.
constexpr std::array<PaneWords, 2> paneWords{{
    {QT_TRANSLATE_NOOP("vantorelle::DevicePaneView", "Input Devices"),
     QT_TRANSLATE_NOOP("vantorelle::DevicePaneView",
                       "The highest-ranked microphone that is connected becomes active. Reorder with the arrows."),
     QT_TRANSLATE_NOOP("vantorelle::DevicePaneView", "No input devices yet."),
     QT_TRANSLATE_NOOP("vantorelle::DevicePaneView", "Auto-switch input"),
     QT_TRANSLATE_NOOP("vantorelle::DevicePaneView",
                       "If the laptop's lid is closed, the built-in microphone becomes unavailable and the next "
                       "device in the stack becomes active."),
     QT_TRANSLATE_NOOP("vantorelle::DevicePaneView",
                       "Calls use the first available microphone below; everything else records from the default"),
     QT_TRANSLATE_NOOP("vantorelle::DevicePaneView", "No input devices for calls yet.")},
    {QT_TRANSLATE_NOOP("vantorelle::DevicePaneView", "Output Devices"),
     QT_TRANSLATE_NOOP("vantorelle::DevicePaneView",
                       "Sound plays through the highest-ranked device that is connected. Reorder with the arrows."),
     QT_TRANSLATE_NOOP("vantorelle::DevicePaneView", "No output devices yet."),
     QT_TRANSLATE_NOOP("vantorelle::DevicePaneView", "Auto-switch output"),
     //: "Seat": a place in the ranked list of devices.
     QT_TRANSLATE_NOOP("vantorelle::DevicePaneView",
                       "When the active device disconnects, sound falls back to the next connected seat instantly "
                       "— no clicks in the system's sound settings."),
     QT_TRANSLATE_NOOP("vantorelle::DevicePaneView",
                       "Calls play through the first available device below; all other sound stays on the default"),
     QT_TRANSLATE_NOOP("vantorelle::DevicePaneView", "No output devices for calls yet.")},
}};

const PaneWords& wordsOf(Direction direction)
{
    return paneWords[slotOf(direction)];
}

QLabel* wrappingLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
{
    QLabel* label = makeLabel(text, font, color, parent);
    label->setWordWrap(true);
    return label;
}

QLabel* emptyState(const QString& text, int minimumHeight, QWidget* parent)
{
    QLabel* label = makeLabel(text, uiFont(13, FontWeight::regular), Palette::grey, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumHeight(minimumHeight);
    return label;
}

// What the cards of a stack show, rank 1 first.
std::vector<DeviceCard::State> cardStates(const std::vector<DeviceRow>& rows)
{
    const std::optional<std::string> next = DevicePaneView::nextInLineUID(rows);
    std::vector<DeviceCard::State> states;
    states.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        DeviceCard::State state;
        state.row = rows[i];
        state.rank = static_cast<int>(i) + 1;
        state.count = static_cast<int>(rows.size());
        state.isFirst = i == 0;
        state.isLast = i + 1 == rows.size();
        state.isNextInLine = next.has_value() && *next == rows[i].uid;
        states.push_back(std::move(state));
    }
    return states;
}

} // namespace

DevicePaneView::DevicePaneView(SwitchEngine& engine, Direction direction,
                               InputLevelMeter::Options meterOptions, BluetoothConnector* bluetooth,
                               QWidget* parent)
    : QWidget(parent), engine_(engine), direction_(direction),
      meter_(new InputLevelMeter(std::move(meterOptions), this)), bluetooth_(bluetooth),
      changes_(new EngineChanges(engine, this)), scroll_(new PaneScrollArea(this)), canvas_(new ShadowCanvas),
      cardList_(new DeviceCardList(engine, direction, StackKind::main, direction == Direction::input ? meter_ : nullptr,
                                   bluetooth, canvas_)),
      empty_(emptyState(tr(wordsOf(direction).empty), 120, canvas_)),
      autoSwitch_(new SettingRow(tr(wordsOf(direction).autoSwitch),
                                 tr("Keeps the highest-ranked usable device active"),
                                 BoolBinding{[this] { return engine_.autoSwitch(direction_); },
                                             [this](bool value) { engine_.setAutoSwitch(value, direction_); }})),
      callsSwitch_(new SettingRow(tr("Use a different device for calls"), callsSubtitle(direction),
                                  BoolBinding{[this] { return engine_.settings().routeCalls(direction_); },
                                              [this](bool value) { engine_.setRouteCalls(value, direction_); }})),
      // The level bar shows the default microphone, which the main stack's active card stands for.
      callsList_(new DeviceCardList(engine, direction, StackKind::calls, nullptr, bluetooth, canvas_)),
      callsEmpty_(emptyState(tr(wordsOf(direction).callsEmpty), 60, canvas_))
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
    QLabel* heading =
        makeLabel(tr(wordsOf(direction).title), uiFont(20, FontWeight::bold), Palette::text, canvas_);
    QLabel* explained = wrappingLabel(tr(wordsOf(direction).explanation), uiFont(13, FontWeight::regular),
                                      Palette::grey, canvas_);
    setAccessibleRole(*heading, QAccessible::Heading, heading->text());
    header->addWidget(heading);
    header->addWidget(explained);
    stack->addLayout(header);

    setAccessibleRole(*cardList_, QAccessible::List, tr("Priority list"));
    stack->addWidget(cardList_);
    stack->addWidget(empty_);

    auto* autoSwitchCard = new CardStack(canvas_);
    autoSwitchCard->addRow(autoSwitch_);
    stack->addWidget(autoSwitchCard);
    QLabel* footnote = wrappingLabel(footer(direction), uiFont(11, FontWeight::regular), Palette::greyFaint, canvas_);
    stack->addWidget(footnote);

    // The calls section keeps to itself below the main stack's own footer note.
    QLabel* callsHeading = SettingsPaneView::makeSectionLabel(tr("For calls"), canvas_);
    callsHeading->setContentsMargins(0, 6, 0, 0);
    stack->addWidget(callsHeading);
    auto* callsSwitchCard = new CardStack(canvas_);
    callsSwitchCard->addRow(callsSwitch_);
    stack->addWidget(callsSwitchCard);
    setAccessibleRole(*callsList_, QAccessible::List, tr("Priority list for calls"));
    stack->addWidget(callsList_);
    stack->addWidget(callsEmpty_);
    stack->addStretch(1);
    // Screen readers read the children in their order: the title and explanation first. None
    // of them overlap, so the stacking order this sets changes nothing on screen.
    for (QWidget* part : std::initializer_list<QWidget*>{heading, explained, cardList_, empty_, autoSwitchCard, footnote,
                                                         callsHeading, callsSwitchCard, callsList_, callsEmpty_}) {
        part->raise();
    }
    scroll_->setContent(canvas_);

    canvas_->setShadows([this] {
        std::vector<ShadowCanvas::CastShadow> shadows;
        for (const DeviceCardList* list : {cardList_, callsList_}) list->addShadows(*canvas_, shadows);
        return shadows;
    });
    for (const DeviceCardList* list : {cardList_, callsList_}) {
        connect(list, &DeviceCardList::cardsMoved, canvas_, qOverload<>(&QWidget::update));
    }

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
        if (row.ruleMayChoose && !row.isActive) return row.uid;
    }
    return std::nullopt;
}

QString DevicePaneView::footer(Direction direction)
{
    return tr(wordsOf(direction).footer);
}

QString DevicePaneView::callsSubtitle(Direction direction)
{
    return tr(wordsOf(direction).callsSubtitle);
}

std::vector<DeviceCard*> DevicePaneView::cards() const
{
    return cardList_->cards();
}

DeviceCard* DevicePaneView::card(const std::string& uid) const
{
    return cardList_->card(uid);
}

void DevicePaneView::rebuild()
{
    const std::vector<DeviceRow> rows = engine_.rows(direction_);
    const DeviceCardList::Shown main = cardList_->setStates(cardStates(rows));
    cardList_->setVisible(!rows.empty());
    empty_->setVisible(rows.empty());
    autoSwitch_->refresh();

    // While calls share the default, their stack stays out of sight.
    const bool routing = engine_.settings().routeCalls(direction_);
    const std::vector<DeviceRow> calls = routing ? engine_.rows(direction_, StackKind::calls) : std::vector<DeviceRow>{};
    const DeviceCardList::Shown forCalls = callsList_->setStates(cardStates(calls));
    callsList_->setVisible(!calls.empty());
    callsEmpty_->setVisible(routing && calls.empty());
    callsSwitch_->refresh();

    if (main.reordered || forCalls.reordered) chainTabOrder();
    // The canvas draws the cards' shadows and, beneath them, every card: a pass that changed
    // no card (a plug of the other direction) draws nothing.
    if (main.changed || forCalls.changed) canvas_->update();
}

void DevicePaneView::chainTabOrder()
{
    // Tab follows the ranks (each card, then its arrows), then the auto-switch switch, then the
    // calls switch and the calls stack's ranks.
    QWidget* const last = cardList_->chainTabOrder(nullptr);
    if (last != nullptr) setTabOrder(last, &autoSwitch_->toggle());
    setTabOrder(&autoSwitch_->toggle(), &callsSwitch_->toggle());
    callsList_->chainTabOrder(&callsSwitch_->toggle());
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
