#pragma once

#include "ui/RoundedPanel.h"

class QVBoxLayout;

namespace vantorelle {

// A card of rows: no fill of its own, a hairline outline with corner radius 12, and a
// divider line between each two rows.
class CardStack : public RoundedPanel {
    Q_OBJECT
public:
    explicit CardStack(QWidget* parent = nullptr);

    // Adds a row, with a divider above it unless it is the first.
    void addRow(QWidget* row);
    // Adds content under the last row without a divider (an error line, for instance).
    void addContent(QWidget* content);

    static constexpr double cornerRadius = 12.0;

private:
    QVBoxLayout* layout_;
    int rows_ = 0;
};

} // namespace vantorelle
