#include "ui/SidebarEntry.h"

#include "ui/Accessibility.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"
#include "ui/Typography.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace vantorelle {

SidebarEntry::SidebarEntry(Pane pane, QWidget* parent)
    : ClickArea(parent), pane_(pane),
      symbol_(new SymbolView(paneSymbol(pane), 12, FontWeight::medium, Palette::text, 16, this)),
      label_(makeLabel(paneLabel(pane), uiFont(13, FontWeight::regular), Palette::text, this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 6, 10, 6);
    row->setSpacing(8);
    row->addWidget(symbol_, 0, Qt::AlignVCenter);
    // A longer language takes a second line rather than being cut at the sidebar's edge.
    label_->setWordWrap(true);
    row->addWidget(label_, 0, Qt::AlignVCenter);
    row->addStretch(1);
    // Clicks on the symbol and the label belong to the bar.
    symbol_->setAttribute(Qt::WA_TransparentForMouseEvents);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The entry is one page tab, named by its label; its symbol is decoration.
    hideFromScreenReaders(*symbol_);
    hideFromScreenReaders(*label_);
    setAccessibleName(paneLabel(pane));
    // Taller than its hint only when its label takes a second line.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
}

void SidebarEntry::setSelected(bool selected)
{
    if (selected == selected_) return;
    selected_ = selected;
    const QColor foreground = selected ? QColor(Qt::white) : Palette::text;
    symbol_->setColor(foreground);
    setLabelColor(*label_, foreground);
    label_->setFont(uiFont(13, selected ? FontWeight::medium : FontWeight::regular));
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
    update();
}

QPainterPath SidebarEntry::hitShape() const
{
    return continuousRoundedRect(QRectF(rect()), cornerRadius);
}

void SidebarEntry::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (selected_) painter.fillPath(hitShape(), Palette::blue);
    if (showsFocusRing(*this)) paintFocusRing(painter, hitShape());
}

void SidebarEntry::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: emit clicked(); return;
    case Qt::Key_Up: emit stepRequested(-1); return;
    case Qt::Key_Down: emit stepRequested(1); return;
    default: ClickArea::keyPressEvent(event);
    }
}

} // namespace vantorelle
