#pragma once

#include <QLineEdit>

namespace vantorelle {

// A one-line edit for renaming in place: Enter (or leaving the field) keeps the text, Escape
// drops it. Each edit ends exactly once, with kept() or dropped().
class InlineNameEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit InlineNameEdit(QWidget* parent = nullptr);

    // Shows `text`, all of it selected, and takes the focus.
    void begin(const QString& text);

signals:
    void kept(const QString& text);
    void dropped();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void finish(bool keep);

    bool editing_ = false;
};

} // namespace vantorelle
