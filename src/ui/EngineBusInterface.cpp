#include "ui/EngineBusInterface.h"

#include "engine/SwitchEngine.h"
#include "services/InstanceBus.h"
#include "ui/EngineChanges.h"

#include <QDBusError>
#include <QVariantMap>

namespace vantorelle {

namespace {

constexpr std::array<const char*, 4> propertyNames{"DefaultOutput", "DefaultInput", "DefaultOutputName", "DefaultInputName"};

// The name the user sees for the default.
QString shownDefaultName(const SwitchEngine& engine, Direction direction)
{
    const std::optional<std::string>& uid = engine.defaultUID(direction);
    if (!uid) return {};
    return QString::fromStdString(engine.settings().shownName(*uid, engine.connected(), direction, *uid));
}

} // namespace

EngineBusInterface::EngineBusInterface(QObject& object, QDBusConnection bus)
    : QDBusAbstractAdaptor(&object), bus_(std::move(bus))
{
    // Adaptors announce only what they emit; the properties are announced by hand.
    setAutoRelaySignals(false);
}

EngineBusInterface::~EngineBusInterface() = default;

void EngineBusInterface::serve(SwitchEngine& engine)
{
    engine_ = &engine;
    delete changes_;
    changes_ = new EngineChanges(engine, this);
    connect(changes_, &EngineChanges::changed, this, &EngineBusInterface::refresh);
    values_ = currentValues();
}

std::array<QString, 4> EngineBusInterface::currentValues() const
{
    if (engine_ == nullptr) return {};
    const auto uid = [this](Direction direction) { return QString::fromStdString(engine_->defaultUID(direction).value_or("")); };
    return {uid(Direction::output), uid(Direction::input), shownDefaultName(*engine_, Direction::output),
            shownDefaultName(*engine_, Direction::input)};
}

void EngineBusInterface::refresh()
{
    const std::array<QString, 4> now = currentValues();
    QVariantMap changed;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i] != values_[i]) changed.insert(QString::fromLatin1(propertyNames[i]), now[i]);
    }
    values_ = now;
    if (changed.isEmpty()) return;
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(instanceBus::path),
                                                     QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(instanceBus::interface) << changed << QStringList();
    bus_.send(signal);
}

void EngineBusInterface::Activate()
{
    if (onActivate) onActivate();
}

QString EngineBusInterface::Next(const QString& direction, const QDBusMessage& message)
{
    return answer(DeviceCommand::Kind::next, direction, std::nullopt, message);
}

QString EngineBusInterface::Select(const QString& direction, const QString& name, const QDBusMessage& message)
{
    return answer(DeviceCommand::Kind::select, direction, name.toStdString(), message);
}

ChoiceOutcome EngineBusInterface::choose(const DeviceCommand& command)
{
    if (engine_ == nullptr) return {std::nullopt, "still starting", false};
    const Direction direction = command.direction;
    const ChoiceScope scope{engine_->settings().priority(direction), engine_->connected(), direction, engine_->lidClosed()};
    ChoiceOutcome outcome = pickFor(command, scope, engine_->defaultUID(direction));
    if (outcome.uid) engine_->chooseDefault(*outcome.uid, direction, true);
    return outcome;
}

QString EngineBusInterface::answer(DeviceCommand::Kind kind, const QString& direction, std::optional<std::string> name,
                                   const QDBusMessage& message)
{
    const auto fail = [this, &message](const QString& error, const QString& text) {
        message.setDelayedReply(true);
        bus_.send(message.createErrorReply(error, text));
        return QString();
    };
    const std::optional<Direction> parsed = directionFromRaw(direction.toStdString());
    if (!parsed) {
        return fail(QDBusError::errorString(QDBusError::InvalidArgs), QStringLiteral("the direction is \"input\" or \"output\""));
    }
    const ChoiceOutcome outcome = choose({kind, *parsed, std::move(name)});
    if (!outcome.uid) {
        return fail(QString::fromLatin1(outcome.badName ? instanceBus::badNameError : instanceBus::noDeviceError),
                    QString::fromStdString(outcome.error));
    }
    return QString::fromStdString(*outcome.uid);
}

} // namespace vantorelle
