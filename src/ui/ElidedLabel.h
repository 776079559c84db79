#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace vantorelle {

// One line of plain text that, when the layout gives it less than its full width, ends in an
// ellipsis instead of pushing its neighbours out of the row; the whole text is then its tooltip.
class ElidedLabel : public QWidget {
    Q_OBJECT
public:
    ElidedLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent = nullptr);

    void setText(const QString& text);
    void setColor(const QColor& color);
    void setTextFont(const QFont& font);
    const QString& text() const noexcept { return text_; }
    const QColor& color() const noexcept { return color_; }
    // The text as drawn at the current width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateToolTip();

    QString text_;
    QColor color_;
};

} // namespace vantorelle
