#include "ui/SidebarView.h"

#include "ui/Accessibility.h"
#include "ui/AppMark.h"
#include "ui/Palette.h"
#include "ui/SidebarEntry.h"
#include "ui/Typography.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace vantorelle {

namespace {

QLayout* makeHeader(QWidget* parent)
{
    auto* header = new QHBoxLayout;
    header->setContentsMargins(16, 6, 16, 14);
    header->setSpacing(10);
    auto* mark = new AppMark(34, parent);
    hideFromScreenReaders(*mark);
    header->addWidget(mark, 0, Qt::AlignVCenter);

    auto* names = new QVBoxLayout;
    names->setContentsMargins(0, 0, 0, 0);
    names->setSpacing(1);
    names->addWidget(makeLabel(QStringLiteral("Vantorelle"), uiFont(13, FontWeight::bold), Palette::text, parent));
    QLabel* subtitle = makeLabel(SidebarView::tr("Auto device switching"), uiFont(11, FontWeight::regular),
                                 Palette::greyLight, parent);
    // A longer language takes a second line rather than being cut at the sidebar's edge.
    subtitle->setWordWrap(true);
    names->addWidget(subtitle);
    header->addLayout(names, 1);
    return header;
}

} // namespace

SidebarView::SidebarView(Binding<Pane> pane, QWidget* parent) : QWidget(parent), pane_(std::move(pane))
{
    setFixedWidth(fixedWidth);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    // Room for the window's title-bar controls over the content.
    column->addSpacing(38);
    column->addLayout(makeHeader(this));

    // The entries are one page tab list for screen readers.
    auto* tabs = new QWidget(this);
    setAccessibleRole(*tabs, QAccessible::PageTabList, tr("Panes"));
    auto* list = new QVBoxLayout(tabs);
    list->setContentsMargins(10, 0, 10, 0);
    list->setSpacing(2);
    for (const Pane each : allPanes) {
        auto* entry = new SidebarEntry(each, tabs);
        connect(entry, &SidebarEntry::clicked, this, [this, each] { select(each); });
        connect(entry, &SidebarEntry::stepRequested, this, [this, each](int step) {
            const int target = static_cast<int>(each) + step;
            if (target < 0 || target >= static_cast<int>(allPanes.size())) return;
            select(allPanes[static_cast<std::size_t>(target)]);
            this->entry(allPanes[static_cast<std::size_t>(target)]).setFocus(Qt::TabFocusReason);
            window()->setAttribute(Qt::WA_KeyboardFocusChange);
        });
        list->addWidget(entry);
        entries_.push_back(entry);
    }
    column->addWidget(tabs);
    column->addStretch(1);
    refresh();
}

void SidebarView::select(Pane pane)
{
    if (pane_.set) pane_.set(pane);
    refresh();
}

void SidebarView::refresh()
{
    if (!pane_.get) return;
    const Pane selected = pane_.get();
    for (SidebarEntry* entry : entries_) {
        entry->setSelected(entry->pane() == selected);
        // One stop for the whole list, on the selected entry; Up and Down move within it.
        entry->setFocusPolicy(entry->pane() == selected ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

SidebarEntry& SidebarView::entry(Pane pane) const
{
    return *entries_.at(static_cast<std::size_t>(pane));
}

void SidebarView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Palette::sidebar);
}

} // namespace vantorelle
