#include "ui/CardStack.h"

#include "ui/Drawing.h"

#include <QVBoxLayout>

namespace vantorelle {

CardStack::CardStack(QWidget* parent) : RoundedPanel(cornerRadius, parent), layout_(new QVBoxLayout(this))
{
    setOutline(Palette::hairline);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void CardStack::addRow(QWidget* row)
{
    if (rows_ > 0) {
        auto* divider = new QWidget(this);
        divider->setObjectName(QStringLiteral("divider"));
        divider->setFixedHeight(1);
        fillBackground(*divider, Palette::divider);
        layout_->addWidget(divider);
    }
    layout_->addWidget(row);
    ++rows_;
}

void CardStack::addContent(QWidget* content)
{
    layout_->addWidget(content);
}

} // namespace vantorelle
