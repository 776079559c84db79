#include "ui/PaneScrollArea.h"

#include "ui/Palette.h"

#include <QEvent>
#include <QLayout>
#include <QScrollBar>

#include <algorithm>

namespace vantorelle {

PaneScrollArea::PaneScrollArea(QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    // Only the controls inside take keyboard focus; the area itself is no stop of its own.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setAutoFillBackground(false);

    QScrollBar* bar = verticalScrollBar();
    bar->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: transparent; width: %1px; margin: 0; }"
        "QScrollBar::handle:vertical { background: %2; border-radius: 4px; min-height: 32px; margin: 2px; }"
        "QScrollBar::handle:vertical:hover, QScrollBar::handle:vertical:pressed { background: %3; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }")
                           .arg(scrollBarWidth)
                           .arg(Palette::greyLight.name(), Palette::grey.name()));
    bar->installEventFilter(this);
}

void PaneScrollArea::setContent(QWidget* content)
{
    setWidget(content);
    if (const QLayout* layout = content->layout()) rightMargin_ = layout->contentsMargins().right();
    followScrollBar();
}

bool PaneScrollArea::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == verticalScrollBar() && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        followScrollBar();
    }
    return QScrollArea::eventFilter(watched, event);
}

void PaneScrollArea::followScrollBar()
{
    QLayout* layout = widget() != nullptr ? widget()->layout() : nullptr;
    if (layout == nullptr) return;
    QMargins margins = layout->contentsMargins();
    const bool shown = verticalScrollBar()->isVisibleTo(this);
    margins.setRight(shown ? std::max(0, rightMargin_ - verticalScrollBar()->width()) : rightMargin_);
    if (margins != layout->contentsMargins()) layout->setContentsMargins(margins);
}

} // namespace vantorelle
