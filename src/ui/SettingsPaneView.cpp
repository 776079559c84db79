#include "ui/SettingsPaneView.h"

#include "engine/SwitchEngine.h"
#include "ui/CardStack.h"
#include "ui/Drawing.h"
#include "ui/EngineChanges.h"
#include "ui/NotificationPreview.h"
#include "ui/Palette.h"
#include "ui/SettingRow.h"
#include "ui/ShadowCanvas.h"
#include "ui/Typography.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace vantorelle {

namespace {

// A short red line at the foot of a card; its holder is what is shown or hidden.
QLabel* addErrorLine(CardStack& card, const QString& text)
{
    auto* line = new QWidget(&card);
    auto* layout = new QVBoxLayout(line);
    layout->setContentsMargins(16, 0, 16, 10);
    QLabel* label = makeLabel(text, uiFont(11, FontWeight::regular), QColor(Qt::red), line);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    card.addContent(line);
    return label;
}

} // namespace

SettingsPaneView::SettingsPaneView(SwitchEngine& engine, LoginItem loginItem, QWidget* parent)
    : QWidget(parent), engine_(engine), loginItem_(std::move(loginItem)), launchAtLogin_(loginItem_.isEnabled()),
      changes_(new EngineChanges(engine, this))
{
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setWidgetResizable(true);
    scroll->setWidget(makeContent());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    connect(changes_, &EngineChanges::changed, this, &SettingsPaneView::refresh);
}

QString SettingsPaneView::loginItemErrorText()
{
    return QStringLiteral("Could not change the login item. Run the built Vantorelle.app for this.");
}

QString SettingsPaneView::saveErrorText()
{
    return QStringLiteral("Could not save the settings. Changes last until Vantorelle quits.");
}

QLabel* SettingsPaneView::makeSectionLabel(const QString& title, QWidget* parent)
{
    return makeLabel(title.toUpper(), uiFont(11, FontWeight::semibold, 0.6), Palette::greyLight, parent);
}

QWidget* SettingsPaneView::makeContent()
{
    auto* content = new ShadowCanvas;
    content->setObjectName(QStringLiteral("settingsContent"));
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(26, 22, 26, 22);
    stack->setSpacing(14);

    auto* heading = new QVBoxLayout;
    heading->setSpacing(4);
    heading->addWidget(makeLabel(QStringLiteral("Settings"), uiFont(20, FontWeight::bold), Palette::text, content));
    heading->addWidget(makeLabel(QStringLiteral("Notifications and how Vantorelle runs."),
                                 uiFont(13, FontWeight::regular), Palette::grey, content));
    stack->addLayout(heading);

    stack->addWidget(makeSectionLabel(QStringLiteral("Notifications"), content));
    stack->addWidget(makeNotificationsCard(content));

    QLabel* general = makeSectionLabel(QStringLiteral("General"), content);
    general->setContentsMargins(0, 6, 0, 0);
    stack->addWidget(general);
    stack->addWidget(makeGeneralCard(content));

    auto* preview = new NotificationPreview(content);
    preview->setContentsMargins(0, 6, 0, 0);
    stack->addWidget(preview, 0, Qt::AlignLeft);
    stack->addStretch(1);

    content->setShadows([content, preview] {
        const QWidget& bubble = preview->bubble();
        const QRectF shape(QPointF(bubble.mapTo(content, QPoint(0, 0))), QSizeF(bubble.size()));
        return std::vector<ShadowCanvas::CastShadow>{
            {continuousRoundedRect(shape, NotificationPreview::bubbleRadius), NotificationPreview::bubbleShadow(), 1.0}};
    });
    return content;
}

QWidget* SettingsPaneView::makeNotificationsCard(QWidget* parent)
{
    auto* card = new CardStack(parent);
    auto noticeRow = [this, card](const QString& title, const QString& subtitle, bool StoredSettings::*flag) {
        auto* row = new SettingRow(title, subtitle,
                                   BoolBinding{[this, flag] { return engine_.settings().*flag; },
                                               [this, flag](bool value) { writeNoticeFlag(flag, value); }},
                                   card);
        card->addRow(row);
        rows_.push_back(row);
    };
    // The two switch rows read through the engine's own per-direction question.
    auto switchRow = [this, card](const QString& title, const QString& subtitle, Direction direction) {
        bool StoredSettings::*flag =
            direction == Direction::input ? &StoredSettings::notifyInputSwitch : &StoredSettings::notifyOutputSwitch;
        auto* row = new SettingRow(title, subtitle,
                                   BoolBinding{[this, direction] { return engine_.notifyOnSwitch(direction); },
                                               [this, flag](bool value) { writeNoticeFlag(flag, value); }},
                                   card);
        card->addRow(row);
        rows_.push_back(row);
    };
    switchRow(QStringLiteral("Input device switched"),
              QStringLiteral("When a higher-ranked microphone takes over or the current one disconnects"), Direction::input);
    switchRow(QStringLiteral("Output device switched"),
              QStringLiteral("When sound starts playing through a different device"), Direction::output);
    noticeRow(QStringLiteral("Device connected or removed"),
              QStringLiteral("When any audio device appears or disappears, even if nothing switches"),
              &StoredSettings::notifyDeviceChange);

    auto* sound = new SettingRow(QStringLiteral("Play sound"), QStringLiteral("A soft chime alongside each notification"),
                                 BoolBinding{[this] { return engine_.settings().notifySound; },
                                             [this](bool value) { writeSound(value); }},
                                 card);
    card->addRow(sound);
    rows_.push_back(sound);
    return card;
}

QWidget* SettingsPaneView::makeGeneralCard(QWidget* parent)
{
    auto* card = new CardStack(parent);
    launchRow_ = new SettingRow(QStringLiteral("Launch at login"),
                                QStringLiteral("Starts Vantorelle in the background when you sign in"),
                                BoolBinding{[this] { return launchAtLogin_; },
                                            [this](bool value) { writeLaunchAtLogin(value); }},
                                card);
    card->addRow(launchRow_);
    loginError_ = addErrorLine(*card, loginItemErrorText());
    loginError_->parentWidget()->setVisible(false);
    saveError_ = addErrorLine(*card, saveErrorText());
    saveError_->parentWidget()->setVisible(engine_.settingsUnsaved());
    return card;
}

void SettingsPaneView::writeNoticeFlag(bool StoredSettings::*flag, bool value)
{
    StoredSettings settings = engine_.settings();
    settings.*flag = value;
    engine_.setSettings(std::move(settings));
    engine_.saveSettings();
    // Only a switch turned on needs the notification service.
    if (value) engine_.notifier().askPermission();
}

void SettingsPaneView::writeSound(bool value)
{
    StoredSettings settings = engine_.settings();
    settings.notifySound = value;
    engine_.setSettings(std::move(settings));
    engine_.notifier().setPlaySound(value);
    engine_.saveSettings();
}

void SettingsPaneView::writeLaunchAtLogin(bool value)
{
    const bool succeeded = value ? loginItem_.registerItem() : loginItem_.unregisterItem();
    if (succeeded) {
        launchAtLogin_ = value;
        loginItemError_.reset();
    } else {
        // Fall back to what the desktop will really do.
        launchAtLogin_ = loginItem_.isEnabled();
        loginItemError_ = loginItemErrorText();
    }
    loginError_->parentWidget()->setVisible(loginItemError_.has_value());
}

void SettingsPaneView::refresh()
{
    for (SettingRow* row : rows_) row->refresh();
    saveError_->parentWidget()->setVisible(engine_.settingsUnsaved());
}

} // namespace vantorelle
