#include "ui/MainWindow.h"

#include "ui/AppMark.h"
#include "ui/DevicePaneView.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"
#include "ui/SettingsPaneView.h"
#include "ui/SidebarView.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QShortcut>

#include <memory>

namespace vantorelle {

MainWindow::MainWindow(SwitchEngine& engine, std::function<LoginItem()> loginItem,
                       BluetoothConnector* bluetooth, QWidget* parent)
    : QWidget(parent), engine_(engine), loginItem_(std::move(loginItem)), bluetooth_(bluetooth),
      sidebar_(new SidebarView(Binding<Pane>{[this] { return pane_; }, [this](Pane pane) { setPane(pane); }}, this))
{
    setWindowTitle(QStringLiteral("Vantorelle"));
    setWindowIcon(AppMark::icon());
    setFixedSize(windowWidth, windowHeight);
    fillBackground(*this, Qt::white);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(sidebar_);

    auto* rule = new QWidget(this);
    rule->setObjectName(QStringLiteral("sidebarRule"));
    rule->setFixedWidth(1);
    fillBackground(*rule, Palette::hairline);
    row->addWidget(rule);

    paneView_ = makePaneView(pane_);
    row->addWidget(paneView_, 1);

    // The standard quit command: closing the window only hides the program, and many desktops
    // show no tray to quit it from.
    auto* quit = new QShortcut(QKeySequence::Quit, this);
    connect(quit, &QShortcut::activated, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void MainWindow::setPane(Pane pane)
{
    if (pane == pane_) return;
    pane_ = pane;
    QWidget* replacement = makePaneView(pane);
    QWidget* old = paneView_;
    // The layout hands back the old pane's item, which is ours to free.
    const std::unique_ptr<QLayoutItem> oldItem(layout()->replaceWidget(old, replacement));
    paneView_ = replacement;
    // Deleted at once: a pane's resources (such as a running level meter) end with the pane.
    delete old;
    sidebar_->refresh();
    emit paneViewReplaced(paneView_);
}

QWidget* MainWindow::makePaneView(Pane pane)
{
    switch (pane) {
    case Pane::input:
        return new DevicePaneView(engine_, Direction::input, InputLevelMeter::processOptions(), bluetooth_, this);
    case Pane::output:
        return new DevicePaneView(engine_, Direction::output, InputLevelMeter::processOptions(), bluetooth_, this);
    case Pane::settings: return new SettingsPaneView(engine_, loginItem_(), this);
    }
    return nullptr;
}

} // namespace vantorelle
