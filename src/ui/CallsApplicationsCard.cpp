#include "ui/CallsApplicationsCard.h"

#include "engine/SwitchEngine.h"
#include "ui/Accessibility.h"
#include "ui/ClickArea.h"
#include "ui/ElidedLabel.h"
#include "ui/Palette.h"
#include "ui/RoundedPanel.h"
#include "ui/Symbols.h"
#include "ui/Typography.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>

#include <algorithm>
#include <initializer_list>

namespace vantorelle {

namespace {

constexpr int iconSize = 24;

} // namespace

CallsApplicationsCard::CallsApplicationsCard(SwitchEngine& engine, QWidget* parent)
    : CardStack(parent), engine_(engine),
      empty_(makeLabel(tr("Applications appear here once they record sound."), uiFont(12, FontWeight::regular),
                       Palette::grey, this))
{
    empty_->setWordWrap(true);
    empty_->setContentsMargins(16, 14, 16, 14);
    addContent(empty_);
    refresh();
}

QCheckBox* CallsApplicationsCard::checkBox(const std::string& caller) const
{
    const auto found = std::ranges::find(rows_, caller, &Row::caller);
    return found == rows_.end() ? nullptr : found->box;
}

void CallsApplicationsCard::refresh()
{
    for (const RecordingApplication& application : engine_.recordingApplications()) {
        if (checkBox(application.caller) == nullptr) addApplication(application.caller, application.name);
        Row& row = *std::ranges::find(rows_, application.caller, &Row::caller);
        if (row.iconName != application.iconName) showIcon(row, application.iconName);
        // A shorter name may come with the program's next stream.
        const QString shownName = QString::fromStdString(application.name);
        if (row.box->accessibleName() != shownName) {
            row.title->setText(shownName);
            row.box->setAccessibleName(shownName);
        }
    }
    for (const Row& row : rows_) row.box->setChecked(engine_.isCallsApplication(row.caller));
    empty_->setVisible(rows_.empty());
}

void CallsApplicationsCard::addApplication(const std::string& caller, const std::string& name)
{
    // The whole row takes the click, so the name is as good a target as the box.
    auto* line = new ClickArea(this);
    line->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(16, 10, 16, 10);
    layout->setSpacing(12);

    auto* icon = new QLabel(line);
    icon->setFixedSize(iconSize, iconSize);
    // A tile like the one a card holds its device's symbol in stands where the desktop gives no icon.
    auto* tile = new RoundedPanel(6, line);
    tile->setFill(Palette::iconWell);
    tile->setFixedSize(iconSize, iconSize);
    auto* symbol = new SymbolView(QStringLiteral("mic"), 11, FontWeight::medium, Palette::textSoft, iconSize, tile);
    symbol->setFixedSize(iconSize, iconSize);
    const QString shownName = QString::fromStdString(name);
    // Applications name themselves: a long name ends in an ellipsis rather than widening the pane.
    auto* title = new ElidedLabel(shownName, uiFont(13, FontWeight::semibold), Palette::text, line);
    auto* box = new QCheckBox(line);
    box->setAccessibleName(shownName);
    box->setAccessibleDescription(tr("Its sound is treated as a call while it records and plays"));
    for (QWidget* part : std::initializer_list<QWidget*>{icon, tile, title}) hideFromScreenReaders(*part);

    layout->addWidget(icon);
    layout->addWidget(tile);
    layout->addWidget(title, 1);
    layout->addWidget(box, 0, Qt::AlignVCenter);

    connect(line, &ClickArea::clicked, box, &QCheckBox::click);
    // Only the user's clicks (the box's own, the row's, a screen reader's press) write.
    connect(box, &QCheckBox::clicked, this, [this, caller](bool checked) { engine_.setCallsApplication(caller, checked); });
    addRow(line);
    rows_.push_back(Row{caller, std::string(), icon, tile, title, box});
    showIcon(rows_.back(), {});
}

void CallsApplicationsCard::showIcon(Row& row, const std::string& iconName)
{
    row.iconName = iconName;
    const QIcon themed = iconName.empty() ? QIcon() : QIcon::fromTheme(QString::fromStdString(iconName));
    row.icon->setPixmap(themed.isNull() ? QPixmap() : themed.pixmap(iconSize, iconSize));
    row.icon->setVisible(!themed.isNull());
    row.tile->setVisible(themed.isNull());
}

} // namespace vantorelle
