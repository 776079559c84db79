#pragma once

#include "services/LoginItem.h"

#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;

namespace vantorelle {

class CallsApplicationsCard;
class EngineChanges;
class SettingRow;
class SwitchEngine;

// The Settings pane: the notice switches (written into the engine's settings and saved at
// once), launch at login, a static preview of a notice, and the applications whose sound is
// treated as calls. The login-item state lives only
// as long as the pane: each new pane reads it afresh and shows no error.
class SettingsPaneView : public QWidget {
    Q_OBJECT
public:
    SettingsPaneView(SwitchEngine& engine, LoginItem loginItem, QWidget* parent = nullptr);

    SettingRow& inputSwitchRow() const noexcept { return *rows_.at(0); }
    SettingRow& outputSwitchRow() const noexcept { return *rows_.at(1); }
    SettingRow& deviceChangeRow() const noexcept { return *rows_.at(2); }
    SettingRow& playSoundRow() const noexcept { return *rows_.at(3); }
    SettingRow& anyProgramRow() const noexcept { return *rows_.at(4); }
    SettingRow& launchAtLoginRow() const noexcept { return *launchRow_; }
    // The red line under the login row; hidden while there is no error.
    QLabel& loginErrorLabel() const noexcept { return *loginError_; }
    // The red line shown while the settings cannot be saved.
    QLabel& saveErrorLabel() const noexcept { return *saveError_; }
    // The grey line shown while another program chooses default devices too.
    QLabel& otherChooserLabel() const noexcept { return *otherChooser_; }
    CallsApplicationsCard& callsApplicationsCard() const noexcept { return *callsApplications_; }

    bool launchAtLogin() const noexcept { return launchAtLogin_; }
    const std::optional<QString>& loginItemError() const noexcept { return loginItemError_; }

    static QString loginItemErrorText();
    static QString callsApplicationsNote();

    // A section caption: the title in capitals, small, semibold and spaced out.
    static QLabel* makeSectionLabel(const QString& title, QWidget* parent);

private:
    QWidget* makeContent();
    QWidget* makeNotificationsCard(QWidget* parent);
    QWidget* makeGeneralCard(QWidget* parent);
    void writeLaunchAtLogin(bool value);
    void refresh();
    void showOtherChooser();

    SwitchEngine& engine_;
    LoginItem loginItem_;
    bool launchAtLogin_;
    std::optional<QString> loginItemError_;
    std::vector<SettingRow*> rows_;
    SettingRow* launchRow_ = nullptr;
    QLabel* loginError_ = nullptr;
    QLabel* saveError_ = nullptr;
    QLabel* otherChooser_ = nullptr;
    CallsApplicationsCard* callsApplications_ = nullptr;
    EngineChanges* changes_;
};

} // namespace vantorelle
