#include "ui/DeviceCard.h"

#include "engine/SwitchEngine.h"
#include "services/InputLevelMeter.h"
#include "ui/Accessibility.h"
#include "ui/ActivePill.h"
#include "ui/ArrowButton.h"
#include "ui/CardConnection.h"
#include "ui/ElidedLabel.h"
#include "ui/InlineNameEdit.h"
#include "ui/MeterBar.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"
#include "ui/Typography.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSpacerItem>
#include <QVBoxLayout>

#include <array>
#include <initializer_list>
#include <utility>

namespace vantorelle {

namespace {

constexpr QColor white(double opacity)
{
    return QColor(255, 255, 255, static_cast<int>(opacity * 255 + 0.5));
}

// Every colour that depends on the card's look.
struct CardStyle {
    QColor rank;
    QColor tile;
    QColor icon;
    QColor name;
    std::optional<QColor> border;
};

CardStyle styleOf(DeviceCard::Look look)
{
    switch (look) {
    case DeviceCard::Look::active: return {white(0.85), white(0.18), Qt::white, Qt::white, std::nullopt};
    case DeviceCard::Look::nextInLine:
        return {Palette::rankWhiteCard, Palette::iconWell, Palette::textSoft, Palette::text, Palette::hairline};
    case DeviceCard::Look::standby: break;
    }
    return {Palette::rankGreyCard, Palette::iconWell, Palette::textSoft, Palette::textSoft, Palette::cardGreyBorder};
}

constexpr int tileSize = 32;
constexpr double cardRadius = 12;
constexpr int rankBoxWidth = 34;
// The spacer between the name and the status mark is at least 8 points with the row's 12-point
// spacing on both of its sides. The layout puts spacing only once around a spacer item, so the
// item itself carries the other 12.
constexpr int rowSpacing = 12;
constexpr int minimumSpacer = 8 + rowSpacing;

const ShadowSpec activeShadow{QColor(0, 90, 200, static_cast<int>(0.3 * 255 + 0.5)), 11, QPointF(0, 4)};
const ShadowSpec pillShadow{QColor(0, 0, 0, static_cast<int>(0.18 * 255 + 0.5)), 3, QPointF(0, 1)};

} // namespace

DeviceCard::DeviceCard(SwitchEngine& engine, Direction direction, StackKind stack, InputLevelMeter* meter,
                       BluetoothConnector* bluetooth, QWidget* parent)
    : QWidget(parent), engine_(engine), direction_(direction), stack_(stack), meter_(meter), bluetooth_(bluetooth),
      rowLayout_(new QHBoxLayout(this)), nameColumn_(new QVBoxLayout),
      rank_(makeLabel(QString(), uiFont(18, FontWeight::heavy, -0.3), Palette::rankGreyCard, this)),
      icon_(new SymbolView(QStringLiteral("mic"), 14, FontWeight::medium, Palette::textSoft, tileSize, this)),
      name_(new ElidedLabel(QString(), uiFont(14, FontWeight::semibold), Palette::textSoft, this)),
      caption_(new ElidedLabel(QString(), uiFont(11.5, FontWeight::regular), Palette::grey, this)),
      status_(makeLabel(QString(), uiFont(11.5, FontWeight::semibold), Palette::grey, this)),
      pill_(new ActivePill(this)), up_(new ArrowButton(true, this)), down_(new ArrowButton(false, this))
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    rank_->setFixedWidth(rankBoxWidth);
    rank_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    icon_->setFixedSize(tileSize, tileSize);

    rowLayout_->setSpacing(rowSpacing);
    rowLayout_->addWidget(rank_, 0, Qt::AlignVCenter);
    rowLayout_->addWidget(icon_, 0, Qt::AlignVCenter);
    nameColumn_->setContentsMargins(0, 0, 0, 0);
    nameColumn_->addWidget(name_);
    nameColumn_->addWidget(caption_);
    rowLayout_->addLayout(nameColumn_, 1);
    rowLayout_->setAlignment(nameColumn_, Qt::AlignVCenter);
    rowLayout_->addItem(new QSpacerItem(minimumSpacer, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    rowLayout_->addWidget(status_, 0, Qt::AlignVCenter);
    rowLayout_->addWidget(pill_, 0, Qt::AlignVCenter);
    auto* arrows = new QHBoxLayout;
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(4);
    arrows->addWidget(up_);
    arrows->addWidget(down_);
    rowLayout_->addLayout(arrows);
    rowLayout_->setAlignment(arrows, Qt::AlignVCenter);

    connect(up_, &ArrowButton::clicked, this, [this] { engine_.moveUp(state_.row.uid, direction_, stack_); });
    connect(down_, &ArrowButton::clicked, this, [this] { engine_.moveDown(state_.row.uid, direction_, stack_); });
    installContextMenu(*this, [this] { return menuItems(); });
    startRenaming_ = [card = QPointer<DeviceCard>(this)] {
        if (card) card->startRename();
    };
    // A stop of its own, so the keyboard reaches its menu (Menu key, Shift+F10).
    setFocusPolicy(Qt::StrongFocus);
    // For screen readers one item: its name, and rank and status as its description. Only the
    // controls (the arrows, the level bar) stay inside it.
    setAccessibleRole(*this, QAccessible::ListItem);
    for (QWidget* part : std::initializer_list<QWidget*>{rank_, icon_, name_, caption_, status_, pill_}) {
        hideFromScreenReaders(*part);
    }
}

DeviceCard::~DeviceCard() = default;

DeviceCard::Look DeviceCard::look() const noexcept
{
    if (state_.row.isActive) return Look::active;
    if (state_.isNextInLine) return Look::nextInLine;
    return Look::standby;
}

bool DeviceCard::isDimmed() const noexcept
{
    return !state_.row.isConnected || state_.row.lidBlocked || !state_.row.isAutomatic;
}

QPainterPath DeviceCard::cardShape() const
{
    return continuousRoundedRect(QRectF(rect()), cardRadius);
}

std::optional<ShadowSpec> DeviceCard::shadow() const
{
    if (look() != Look::active) return std::nullopt;
    return activeShadow;
}

std::vector<MenuItem> DeviceCard::menuItems() const
{
    std::vector<MenuItem> items;
    SwitchEngine* const engine = &engine_;
    const std::string& uid = state_.row.uid;
    const Direction direction = direction_;
    const StackKind stack = stack_;
    if (!state_.isFirst) {
        items.push_back({up_->accessibleName(), false, [=] { engine->moveUp(uid, direction, stack); }});
    }
    if (!state_.isLast) {
        items.push_back({down_->accessibleName(), false, [=] { engine->moveDown(uid, direction, stack); }});
    }
    if (std::optional<MenuItem> connect = connectItem()) items.push_back(std::move(*connect));
    items.push_back({tr("Rename\u2026"), false, startRenaming_});
    const bool automatic = state_.row.isAutomatic;
    items.push_back({automatic ? tr("Never switch to this device") : tr("Allow switching to this device"),
                     false, [=] { engine->setAutomatic(uid, direction, !automatic, stack); }});
    if (!state_.row.isConnected) {
        items.push_back({tr("Remove from list"), true, [=] { engine->remove(uid, direction, stack); }});
    }
    return items;
}

std::optional<MenuItem> DeviceCard::connectItem() const
{
    if (state_.row.isConnected || !connection_ || !connection_->canConnect()) return std::nullopt;
    //: Menu item: connect a paired Bluetooth device.
    return MenuItem{tr("Connect"), false, [connection = QPointer<CardConnection>(connection_.get())] {
                        if (connection) connection->connectDevice();
                    }};
}

QString DeviceCard::accessibleSummary() const
{
    // The status as shown, "Connecting…" included.
    QString status = state_.row.isActive ? ActivePill::text() : status_->text();
    if (state_.row.isActive && state_.row.lidBlocked) status += tr(", lid closed");
    //: Read by screen readers: "Rank 1 of 5, active"; %3 is the card's status, lowercased.
    return tr("Rank %1 of %2, %3").arg(state_.rank).arg(state_.count).arg(status.toLower());
}

void DeviceCard::startRename()
{
    if (nameEdit_ != nullptr) return;
    // Made for the edit alone, so screen readers meet it only while it is there.
    nameEdit_ = new InlineNameEdit(this);
    nameEdit_->setFont(uiFont(14, FontWeight::semibold));
    nameEdit_->setAccessibleName(tr("Name"));
    connect(nameEdit_, &InlineNameEdit::kept, this, [this](const QString& text) { endRename(text); });
    connect(nameEdit_, &InlineNameEdit::dropped, this, [this] { endRename(std::nullopt); });
    nameColumn_->insertWidget(0, nameEdit_);
    name_->hide();
    nameEdit_->begin(QString::fromStdString(state_.row.name));
}

void DeviceCard::endRename(std::optional<QString> kept)
{
    // Later: the edit is the sender of the signal that led here.
    nameEdit_->deleteLater();
    nameEdit_ = nullptr;
    name_->show();
    setFocus(Qt::OtherFocusReason);
    if (!kept) return;
    // The device's own name, or nothing, means no name of the user's own.
    const QString name = kept->trimmed();
    const bool own = name.isEmpty() || name == QString::fromStdString(state_.row.deviceName);
    engine_.rename(state_.row.uid, direction_, own ? std::string() : name.toStdString());
}

bool DeviceCard::setState(const State& state)
{
    if (styled_ && state == state_) return false;
    state_ = state;
    if (!styled_) {
        // A card stays with one UID for its life.
        connection_ = CardConnection::forDevice(bluetooth_, state.row.uid);
        if (connection_) connect(connection_.get(), &CardConnection::changed, this, &DeviceCard::restyle);
    }
    styled_ = true;
    if (connection_) connection_->setConnected(state.row.isConnected);
    restyle();
    return true;
}

void DeviceCard::restyle()
{
    const Look current = look();
    const bool active = current == Look::active;
    const CardStyle style = styleOf(current);
    const DeviceRow& row = state_.row;

    const int vertical = active ? 14 : 12;
    rowLayout_->setContentsMargins(16, vertical, 16, vertical);

    rank_->setText(rankText(state_.rank));
    rank_->setFont(uiFont(active ? 20 : 18, FontWeight::heavy, -0.3));
    setLabelColor(*rank_, style.rank);

    icon_->setSymbol(glyph(row, direction_));
    icon_->setThemeIcon(Symbols::themeSymbol(themeIconNames(row, direction_)));
    icon_->setColor(style.icon);

    name_->setText(QString::fromStdString(row.name));
    name_->setTextFont(uiFont(14, active ? FontWeight::bold : FontWeight::semibold));
    name_->setColor(style.name);
    nameColumn_->setSpacing(active ? 4 : 3);

    updateMeterBar();
    const bool failed = connection_ && !connection_->failure().isEmpty();
    const std::optional<QString> subtitle =
        failed ? connection_->failure() : caption(row, direction_, state_.isNextInLine);
    const bool showCaption = meterBar_ == nullptr && subtitle.has_value();
    caption_->setText(subtitle.value_or(QString()));
    caption_->setColor(failed ? Palette::failureRed : active ? Palette::captionOnActive : Palette::grey);
    caption_->setVisible(showCaption);

    pill_->setVisible(active);
    status_->setVisible(!active);
    const bool connecting = connection_ && connection_->isConnecting();
    status_->setText(connecting ? tr("Connecting…") : statusText(row, state_.isNextInLine));
    setLabelColor(*status_, state_.isNextInLine ? Palette::activeGradient.second : Palette::grey);

    up_->setOnActiveCard(row.isActive);
    up_->setEnabled(!state_.isFirst);
    down_->setOnActiveCard(row.isActive);
    down_->setEnabled(!state_.isLast);

    // On a dimmed card the caption, the status mark and the focus ring keep their full strength:
    // faded, no colour would stand out enough from the card to be read.
    setWidgetOpacity(*this, drawnOpacity(), [this](QPainter& painter) {
        if (showsFocusRing(*this)) paintFocusRing(painter, cardShape());
        for (const ArrowButton* arrow : {up_, down_}) {
            if (showsFocusRing(*arrow)) paintFocusRing(painter, continuousRoundedRect(QRectF(arrow->geometry()), ArrowButton::cornerRadius));
        }
    }, {caption_, status_, pill_});
    setAccessibleName(QString::fromStdString(row.name));
    // Under the user's name for it, the device's own name stays at hand.
    const bool renamed = !row.deviceName.empty() && row.deviceName != row.name;
    const QString ownName = QString::fromStdString(row.deviceName);
    setAccessibleDescription(renamed ? ownName + QStringLiteral(", ") + accessibleSummary() : accessibleSummary());
    setToolTip(renamed ? ownName : QString());
    update();
    emit geometryChanged();
}

void DeviceCard::updateMeterBar()
{
    const bool wanted = look() == Look::active && meter_ != nullptr;
    if (wanted && meterBar_ == nullptr) {
        meterBar_ = new MeterBar(*meter_, this);
        // Aligned, so its fixed 150 points do not cap the column's (and the name's) width.
        nameColumn_->addWidget(meterBar_, 0, Qt::AlignLeft);
        // The bar lies inside the active card's gradient, clear of its corners.
        meterBar_->setBackdrop([this](QPainter& painter) {
            painter.translate(-meterBar_->mapTo(this, QPoint(0, 0)));
            painter.fillRect(rect(), Palette::activeGradient.in(QRectF(rect())));
        });
    } else if (!wanted && meterBar_ != nullptr) {
        delete meterBar_;
        meterBar_ = nullptr;
    }
}

void DeviceCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Look current = look();
    const CardStyle style = styleOf(current);

    const QRectF bounds(rect());
    if (current == Look::active) {
        painter.fillPath(cardShape(), Palette::activeGradient.in(bounds));
    } else {
        // The 1-point border lies inside the card's edge.
        const QPainterPath inset = continuousRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), cardRadius);
        painter.fillPath(inset, current == Look::nextInLine ? QColor(Qt::white) : Palette::cardGrey);
        if (style.border) {
            painter.setPen(QPen(*style.border, 1.0));
            painter.drawPath(inset);
        }
    }

    painter.fillPath(continuousRoundedRect(QRectF(icon_->geometry()), 8), style.tile);

    if (pill_->isVisible()) {
        QPainterPath outline = pill_->shape();
        outline.translate(pill_->pos());
        pillShadow_.paint(painter, outline, pillShadow);
    }
    if (showsFocusRing(*this)) paintFocusRing(painter, cardShape());
}

void DeviceCard::keyPressEvent(QKeyEvent* event)
{
    // The Menu key arrives as a context-menu event by itself; Shift+F10 is its other name.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        emit customContextMenuRequested(rect().center());
        return;
    }
    QWidget::keyPressEvent(event);
}

void DeviceCard::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    emit geometryChanged();
}

void DeviceCard::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit geometryChanged();
}

} // namespace vantorelle
