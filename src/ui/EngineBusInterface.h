#pragma once

#include "engine/DeviceCommand.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace vantorelle {

class EngineChanges;
class SwitchEngine;

// The running instance's own interface on the session bus, for panels, scripts and the
// commands of a later start: the two defaults (UIDs, and the names the user sees), announced
// with PropertiesChanged, and Next and Select, which make a choice by hand with its switch
// notice. Until an engine is served the defaults are empty and the methods fail.
class EngineBusInterface : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.vantorelle.Vantorelle")
    Q_PROPERTY(QString DefaultOutput READ defaultOutput)
    Q_PROPERTY(QString DefaultInput READ defaultInput)
    Q_PROPERTY(QString DefaultOutputName READ defaultOutputName)
    Q_PROPERTY(QString DefaultInputName READ defaultInputName)
public:
    // On `object`, which is (or will be) registered at the instance's path on `bus`.
    EngineBusInterface(QObject& object, QDBusConnection bus);
    ~EngineBusInterface() override;

    // Follows `engine` from now on; it must outlive this interface.
    void serve(SwitchEngine& engine);
    // Called for the argument-less Activate of a second start of an older version.
    std::function<void()> onActivate;

    // Makes the choice a command asks for, with its switch notice; what it chose, or why nothing.
    ChoiceOutcome choose(const DeviceCommand& command);

    QString defaultOutput() const { return values_[0]; }
    QString defaultInput() const { return values_[1]; }
    QString defaultOutputName() const { return values_[2]; }
    QString defaultInputName() const { return values_[3]; }

public Q_SLOTS:
    void Activate();
    // The UID made the default; errors: org.freedesktop.DBus.Error.InvalidArgs for a direction
    // other than "input" or "output", instanceBus::badNameError, instanceBus::noDeviceError.
    QString Next(const QString& direction, const QDBusMessage& message);
    QString Select(const QString& direction, const QString& name, const QDBusMessage& message);

private:
    QString answer(DeviceCommand::Kind kind, const QString& direction, std::optional<std::string> name,
                   const QDBusMessage& message);
    void refresh();
    std::array<QString, 4> currentValues() const;

    QDBusConnection bus_;
    SwitchEngine* engine_ = nullptr;
    EngineChanges* changes_ = nullptr;
    // DefaultOutput, DefaultInput, DefaultOutputName, DefaultInputName as last announced.
    std::array<QString, 4> values_;
};

} // namespace vantorelle
