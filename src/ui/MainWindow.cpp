#include "ui/MainWindow.h"

#include "ui/Accessibility.h"
#include "ui/AppMark.h"
#include "ui/DevicePaneView.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"
#include "ui/SettingsPaneView.h"
#include "ui/SidebarView.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

#include <algorithm>
#include <memory>

namespace vantorelle {

MainWindow::MainWindow(SwitchEngine& engine, std::function<LoginItem()> loginItem,
                       BluetoothConnector* bluetooth, Pane pane, QWidget* parent)
    : QWidget(parent), engine_(engine), loginItem_(std::move(loginItem)), bluetooth_(bluetooth), pane_(pane),
      sidebar_(new SidebarView(Binding<Pane>{[this] { return pane_; }, [this](Pane pane) { setPane(pane); }}, this))
{
    setWindowTitle(QStringLiteral("Vantorelle"));
    setWindowIcon(AppMark::icon());
    setAccessibleRole(*this, QAccessible::Window);
    fitToScreen();
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
    // Ctrl+W closes the window as its close button does; the program keeps switching.
    auto* closeWindow = new QShortcut(QKeySequence::Close, this);
    connect(closeWindow, &QShortcut::activated, this, &QWidget::close, Qt::QueuedConnection);
}

void MainWindow::fitToScreen()
{
    const QScreen* const on = screen();
    if (on == nullptr) return;
    // The frame is known once the window manager has framed the window; until then it counts 0.
    const QSize room = on->availableGeometry().size() - (frameGeometry().size() - size());
    const QSize fitted = room.isEmpty() ? QSize(windowWidth, windowHeight)
                                        : QSize(std::min(windowWidth, room.width()), std::min(windowHeight, room.height()));
    if (minimumSize() != fitted || maximumSize() != fitted) setFixedSize(fitted);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!followsScreen_ && windowHandle() != nullptr) {
        followsScreen_ = true;
        connect(windowHandle(), &QWindow::screenChanged, this, &MainWindow::fitToScreen);
    }
    fitToScreen();
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // Framing (and placing) by the window manager comes as a move.
    fitToScreen();
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
    if (pane == Pane::settings) return new SettingsPaneView(engine_, loginItem_(), this);
    const Direction direction = pane == Pane::input ? Direction::input : Direction::output;
    return new DevicePaneView(engine_, direction, InputLevelMeter::processOptions(), bluetooth_, this);
}

} // namespace vantorelle
