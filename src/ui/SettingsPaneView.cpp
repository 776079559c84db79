#include "ui/SettingsPaneView.h"

#include "engine/SwitchEngine.h"
#include "ui/Accessibility.h"
#include "ui/CallsApplicationsCard.h"
#include "ui/CardStack.h"
#include "ui/Drawing.h"
#include "ui/EngineChanges.h"
#include "ui/NotificationPreview.h"
#include "ui/PaneScrollArea.h"
#include "ui/Palette.h"
#include "ui/SettingRow.h"
#include "ui/ShadowCanvas.h"
#include "ui/Typography.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vantorelle {

namespace {

// A short line at the foot of a card; its holder is what is shown or hidden, and what screen
// readers hear of as an alert when it appears.
QLabel* addFootLine(CardStack& card, const QString& text, const QColor& colour = QColor(Qt::red))
{
    auto* line = new QWidget(&card);
    setAccessibleRole(*line, QAccessible::AlertMessage, text);
    auto* layout = new QVBoxLayout(line);
    layout->setContentsMargins(16, 0, 16, 10);
    QLabel* label = makeLabel(text, uiFont(11, FontWeight::regular), colour, line);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    hideFromScreenReaders(*label);
    layout->addWidget(label);
    card.addContent(line);
    return label;
}

} // namespace

SettingsPaneView::SettingsPaneView(SwitchEngine& engine, LoginItem loginItem, QWidget* parent)
    : QWidget(parent), engine_(engine), loginItem_(std::move(loginItem)), launchAtLogin_(loginItem_.isEnabled()),
      changes_(new EngineChanges(engine, this))
{
    auto* scroll = new PaneScrollArea(this);
    scroll->setContent(makeContent());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    connect(changes_, &EngineChanges::changed, this, &SettingsPaneView::refresh);
}

QString SettingsPaneView::loginItemErrorText()
{
    return tr("Could not change the login item. Install Vantorelle and start the installed copy for this.");
}

QString SettingsPaneView::callsApplicationsNote()
{
    return tr("While a checked application both records from a microphone and plays, all of its sound is "
              "treated as a call, even when it does not say so itself.");
}

QLabel* SettingsPaneView::makeSectionLabel(const QString& title, QWidget* parent)
{
    QLabel* label = makeLabel(title.toUpper(), uiFont(11, FontWeight::semibold, 0.6), Palette::greyLight, parent);
    // Read as written, not spelt out in capitals.
    setAccessibleRole(*label, QAccessible::Heading, title);
    return label;
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
    QLabel* title = makeLabel(tr("Settings"), uiFont(20, FontWeight::bold), Palette::text, content);
    setAccessibleRole(*title, QAccessible::Heading, title->text());
    heading->addWidget(title);
    heading->addWidget(makeLabel(tr("Notifications and how Vantorelle runs."),
                                 uiFont(13, FontWeight::regular), Palette::grey, content));
    stack->addLayout(heading);

    stack->addWidget(makeSectionLabel(tr("Notifications"), content));
    stack->addWidget(makeNotificationsCard(content));

    QLabel* general = makeSectionLabel(tr("General"), content);
    general->setContentsMargins(0, 6, 0, 0);
    stack->addWidget(general);
    stack->addWidget(makeGeneralCard(content));

    auto* preview = new NotificationPreview(content);
    preview->setContentsMargins(0, 6, 0, 0);
    stack->addWidget(preview, 0, Qt::AlignLeft);

    QLabel* calls = makeSectionLabel(tr("Calls applications"), content);
    calls->setContentsMargins(0, 6, 0, 0);
    stack->addWidget(calls);
    callsApplications_ = new CallsApplicationsCard(engine_, content);
    stack->addWidget(callsApplications_);
    auto* anyProgram = new CardStack(content);
    auto* anyProgramRow = new SettingRow(
        tr("Any application in a call"),
        tr("Treat every application that records from a microphone and plays at once as in a call"),
        BoolBinding{[this] { return engine_.settings().callsFromAnyProgram; },
                    [this](bool value) { engine_.setCallsFromAnyProgram(value); }},
        anyProgram);
    anyProgram->addRow(anyProgramRow);
    rows_.push_back(anyProgramRow);
    stack->addWidget(anyProgram);
    QLabel* note = makeLabel(callsApplicationsNote(), uiFont(11, FontWeight::regular), Palette::greyFaint, content);
    note->setWordWrap(true);
    stack->addWidget(note);
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
    auto addRow = [this, card](const QString& title, const QString& subtitle, BoolBinding binding) {
        auto* row = new SettingRow(title, subtitle, std::move(binding), card);
        card->addRow(row);
        rows_.push_back(row);
    };
    for (const Direction direction : allDirections) {
        const bool input = direction == Direction::input;
        addRow(input ? tr("Input device switched") : tr("Output device switched"),
               input ? tr("When a higher-ranked microphone takes over or the current one disconnects")
                     : tr("When sound starts playing through a different device"),
               BoolBinding{[this, direction] { return engine_.notifyOnSwitch(direction); },
                           [this, direction](bool value) { engine_.setNotifyOnSwitch(value, direction); }});
    }
    addRow(tr("Device connected or removed"),
           tr("When any audio device appears or disappears, even if nothing switches"),
           BoolBinding{[this] { return engine_.settings().notifyDeviceChange; },
                       [this](bool value) { engine_.setNotifyOnDeviceChange(value); }});
    addRow(tr("Play sound"), tr("A soft chime alongside each notification"),
           BoolBinding{[this] { return engine_.settings().notifySound; },
                       [this](bool value) { engine_.setPlaySound(value); }});
    return card;
}

QWidget* SettingsPaneView::makeGeneralCard(QWidget* parent)
{
    auto* card = new CardStack(parent);
    launchRow_ = new SettingRow(tr("Launch at login"),
                                tr("Starts Vantorelle in the background when you sign in"),
                                BoolBinding{[this] { return launchAtLogin_; },
                                            [this](bool value) { writeLaunchAtLogin(value); }},
                                card);
    card->addRow(launchRow_);
    loginError_ = addFootLine(*card, loginItemErrorText());
    loginError_->parentWidget()->setVisible(false);
    saveError_ = addFootLine(*card, tr("Could not save the settings. Changes last until Vantorelle quits."));
    saveError_->parentWidget()->setVisible(engine_.settingsUnsaved());
    otherChooser_ = addFootLine(*card, {}, Palette::grey);
    showOtherChooser();
    return card;
}

void SettingsPaneView::showOtherChooser()
{
    const std::optional<OtherChooser> chooser = engine_.otherChooser();
    const QString text = chooser ? QString::fromUtf8(describe(*chooser)) : QString();
    if (otherChooser_->text() != text) {
        otherChooser_->setText(text);
        setAccessibleRole(*otherChooser_->parentWidget(), QAccessible::AlertMessage, text);
    }
    otherChooser_->parentWidget()->setVisible(chooser.has_value());
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
    showOtherChooser();
    callsApplications_->refresh();
}

} // namespace vantorelle
