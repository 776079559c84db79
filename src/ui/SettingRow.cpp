#include "ui/SettingRow.h"

#include "ui/Accessibility.h"
#include "ui/Palette.h"
#include "ui/SwitchToggle.h"
#include "ui/Typography.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSpacerItem>
#include <QVBoxLayout>

#include <utility>

namespace vantorelle {

SettingRow::SettingRow(const QString& title, const QString& subtitle, BoolBinding isOn, QWidget* parent)
    : QWidget(parent), isOn_(std::move(isOn)),
      title_(makeLabel(title, uiFont(13, FontWeight::semibold), Palette::text, this)),
      subtitle_(makeLabel(subtitle, uiFont(11, FontWeight::regular), Palette::greyLight, this)),
      toggle_(new SwitchToggle(this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 12, 16, 12);
    row->setSpacing(16);

    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(2);
    texts->addWidget(title_);
    texts->addWidget(subtitle_);
    // On a narrow window the subtitle wraps rather than pushing the switch out of view.
    subtitle_->setWordWrap(true);
    row->addLayout(texts, 1);
    // Takes the free width, so the switch sits at the right edge; row spacing adds the rest.
    row->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    row->addWidget(toggle_, 0, Qt::AlignVCenter);

    // The switch carries both texts for screen readers, which need not hear them twice.
    toggle_->setAccessibleName(title);
    toggle_->setAccessibleDescription(subtitle);
    hideFromScreenReaders(*title_);
    hideFromScreenReaders(*subtitle_);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    // Every change but the row's own showing of the value is the user's: a click, Space, or a
    // screen reader's Toggle action, which flips the switch without a click.
    connect(toggle_, &SwitchToggle::toggled, this, [this](bool value) {
        if (!showing_) write(value);
    });
    refresh();
}

void SettingRow::refresh()
{
    const bool value = isOn_.get ? isOn_.get() : false;
    const bool wasShowing = std::exchange(showing_, true);
    if (toggle_->isChecked() != value) toggle_->setChecked(value);
    showing_ = wasShowing;
}

void SettingRow::write(bool value)
{
    if (isOn_.set) isOn_.set(value);
    refresh();
}

} // namespace vantorelle
