#pragma once

#include "ui/CardStack.h"

#include <QString>

#include <string>
#include <vector>

class QCheckBox;
class QLabel;

namespace vantorelle {

class ElidedLabel;
class SwitchEngine;

// The programs seen recording, each once with its icon, its name and a checkbox that marks it as
// a calls application (its streams are then a call while it records and plays). A row stays while the card lives,
// also when unchecking drops an application the engine knew only by its mark, so it does not
// vanish from under the pointer. One grey line stands in while there is none.
class CallsApplicationsCard : public CardStack {
    Q_OBJECT
public:
    explicit CallsApplicationsCard(SwitchEngine& engine, QWidget* parent = nullptr);

    // Adds the applications the engine has come to know and shows the marks again.
    void refresh();

    // The row's checkbox of a program (a RecordingApplication's caller); null while it is not listed.
    QCheckBox* checkBox(const std::string& caller) const;
    QLabel& emptyLabel() const noexcept { return *empty_; }

private:
    struct Row {
        std::string caller;
        std::string iconName;
        QLabel* icon;
        QWidget* tile;
        ElidedLabel* title;
        QCheckBox* box;
    };
    void addApplication(const std::string& caller, const std::string& name);
    static void showIcon(Row& row, const std::string& iconName);

    SwitchEngine& engine_;
    std::vector<Row> rows_;
    QLabel* empty_;
};

} // namespace vantorelle
