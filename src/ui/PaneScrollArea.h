#pragma once

#include <QScrollArea>

namespace vantorelle {

// The vertical scroll area of a pane: no frame, no horizontal scrolling, a slim scrollbar whose
// thumb stands out from its groove, shown only when needed. When it appears the content keeps
// its place: the right margin of the content's layout gives way by the scrollbar's width.
class PaneScrollArea : public QScrollArea {
    Q_OBJECT
public:
    explicit PaneScrollArea(QWidget* parent = nullptr);

    // Takes the content (with its layout set), as QScrollArea::setWidget.
    void setContent(QWidget* content);

    static constexpr int scrollBarWidth = 12;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followScrollBar();

    int rightMargin_ = 0;
};

} // namespace vantorelle
