#pragma once

#include "ui/ClickArea.h"
#include "ui/Pane.h"

class QLabel;

namespace vantorelle {

class SymbolView;

// One pane entry of the sidebar: symbol and label on a bar that is blue while selected. The
// whole bar takes clicks, also the empty part after the label.
class SidebarEntry : public ClickArea {
    Q_OBJECT
public:
    explicit SidebarEntry(Pane pane, QWidget* parent = nullptr);

    Pane pane() const noexcept { return pane_; }
    bool isSelected() const noexcept { return selected_; }
    void setSelected(bool selected);

    QPainterPath hitShape() const override;
    QLabel& label() const noexcept { return *label_; }
    SymbolView& symbol() const noexcept { return *symbol_; }

    static constexpr double cornerRadius = 7.0;

signals:
    // Up or Down pressed on the entry: the sidebar moves the selection by `step`.
    void stepRequested(int step);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Pane pane_;
    bool selected_ = false;
    SymbolView* symbol_;
    QLabel* label_;
};

} // namespace vantorelle
