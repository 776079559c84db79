#include "ui/NotificationPreview.h"

#include "engine/SwitchNotices.h"
#include "services/NoticeTranslation.h"

#include "ui/Accessibility.h"
#include "ui/AppMark.h"
#include "ui/Palette.h"
#include "ui/RoundedPanel.h"
#include "ui/Typography.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vantorelle {

namespace {

QWidget* makeBubble(QWidget* parent)
{
    auto* bubble = new RoundedPanel(NotificationPreview::bubbleRadius, parent);
    bubble->setFill(NotificationPreview::bubbleFill);
    bubble->setOutline(Palette::hairline);

    auto* row = new QHBoxLayout(bubble);
    row->setContentsMargins(14, 10, 14, 10);
    row->setSpacing(10);
    auto* mark = new AppMark(30, bubble);
    hideFromScreenReaders(*mark);
    row->addWidget(mark, 0, Qt::AlignVCenter);
    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(1);
    // A real switch notice, as the notices say it; the device's name is an example, never translated.
    const ShownNotice notice = shownNotice(connectedNowActiveNotice(Direction::input, "Shure MV7"));
    texts->addWidget(makeLabel(notice.title, uiFont(12, FontWeight::bold), Palette::text, bubble));
    texts->addWidget(makeLabel(notice.body, uiFont(11, FontWeight::regular),
                               Palette::grey, bubble));
    row->addLayout(texts);
    bubble->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return bubble;
}

} // namespace

NotificationPreview::NotificationPreview(QWidget* parent) : QWidget(parent), bubble_(makeBubble(this))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    column->addWidget(makeLabel(tr("Notification preview"), uiFont(12, FontWeight::semibold), Palette::grey, this));
    column->addWidget(bubble_, 0, Qt::AlignLeft);
}

} // namespace vantorelle
