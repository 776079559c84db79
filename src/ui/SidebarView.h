#pragma once

#include "ui/Binding.h"
#include "ui/Pane.h"

#include <QWidget>

#include <vector>

namespace vantorelle {

class SidebarEntry;

// The left column: the mark, name and tagline, then one entry per pane. It shows the bound
// pane as selected and writes the binding when an entry is clicked; it keeps no state.
class SidebarView : public QWidget {
    Q_OBJECT
public:
    explicit SidebarView(Binding<Pane> pane, QWidget* parent = nullptr);

    // Marks the entry of the bound pane again (after someone else changed it).
    void refresh();

    SidebarEntry& entry(Pane pane) const;

    static constexpr int fixedWidth = 208;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void select(Pane pane);

    Binding<Pane> pane_;
    std::vector<SidebarEntry*> entries_;
};

} // namespace vantorelle
