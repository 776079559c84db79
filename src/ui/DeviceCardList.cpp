#include "ui/DeviceCardList.h"

#include "ui/ArrowButton.h"

#include <QVBoxLayout>

#include <set>

namespace vantorelle {

DeviceCardList::DeviceCardList(SwitchEngine& engine, Direction direction, StackKind stack, InputLevelMeter* meter,
                               BluetoothConnector* bluetooth, QWidget* parent)
    : QWidget(parent), engine_(engine), direction_(direction), stack_(stack), meter_(meter), bluetooth_(bluetooth),
      layout_(new QVBoxLayout(this))
{
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(8);
}

DeviceCard* DeviceCardList::card(const std::string& uid) const
{
    const auto found = cardsByUID_.find(uid);
    return found == cardsByUID_.end() ? nullptr : found->second;
}

DeviceCardList::Shown DeviceCardList::setStates(const std::vector<DeviceCard::State>& states)
{
    Shown shown;
    std::vector<DeviceCard*> order;
    order.reserve(states.size());
    std::set<std::string> seen;
    for (const DeviceCard::State& state : states) {
        // A list that names one device twice still shows one card for it.
        if (!seen.insert(state.row.uid).second) continue;
        DeviceCard*& card = cardsByUID_[state.row.uid];
        if (card == nullptr) {
            card = new DeviceCard(engine_, direction_, stack_, meter_, bluetooth_, this);
            connect(card, &DeviceCard::geometryChanged, this, &DeviceCardList::cardsMoved);
        }
        shown.changed |= card->setState(state);
        order.push_back(card);
    }

    std::erase_if(cardsByUID_, [&seen, &shown](const auto& entry) {
        if (seen.contains(entry.first)) return false;
        // Later: the card may be the sender of the click that removed it.
        entry.second->hide();
        entry.second->deleteLater();
        shown.changed = true;
        return true;
    });

    shown.reordered = order != order_;
    shown.changed |= shown.reordered;
    if (shown.reordered) {
        for (DeviceCard* card : order_) layout_->removeWidget(card);
        for (DeviceCard* card : order) layout_->addWidget(card);
        order_ = std::move(order);
    }
    for (DeviceCard* card : order_) card->show();
    return shown;
}

QWidget* DeviceCardList::chainTabOrder(QWidget* previous) const
{
    for (DeviceCard* card : order_) {
        for (QWidget* stop : {static_cast<QWidget*>(card), static_cast<QWidget*>(&card->upArrow()),
                              static_cast<QWidget*>(&card->downArrow())}) {
            if (previous != nullptr) setTabOrder(previous, stop);
            previous = stop;
        }
    }
    return previous;
}

void DeviceCardList::addShadows(const QWidget& canvas, std::vector<ShadowCanvas::CastShadow>& shadows) const
{
    for (const DeviceCard* card : order_) {
        const std::optional<ShadowSpec> shadow = card->shadow();
        if (!shadow || !card->isVisible()) continue;
        QPainterPath shape = card->cardShape();
        shape.translate(card->mapTo(&canvas, QPoint(0, 0)));
        shadows.push_back({shape, *shadow, card->drawnOpacity()});
    }
}

} // namespace vantorelle
