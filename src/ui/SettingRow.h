#pragma once

#include "ui/Binding.h"

#include <QString>
#include <QWidget>

class QLabel;

namespace vantorelle {

class SwitchToggle;

// A titled row with a switch on the right: title, subtitle under it, and the switch bound to
// a value held elsewhere. Used by the settings pane and by the device panes.
class SettingRow : public QWidget {
    Q_OBJECT
public:
    SettingRow(const QString& title, const QString& subtitle, BoolBinding isOn, QWidget* parent = nullptr);

    // Shows the bound value again (after the owner changed it by other means).
    void refresh();

    SwitchToggle& toggle() const noexcept { return *toggle_; }
    QLabel& titleLabel() const noexcept { return *title_; }
    QLabel& subtitleLabel() const noexcept { return *subtitle_; }

private:
    void write(bool value);

    BoolBinding isOn_;
    QLabel* title_;
    QLabel* subtitle_;
    SwitchToggle* toggle_;
    bool showing_ = false;
};

} // namespace vantorelle
