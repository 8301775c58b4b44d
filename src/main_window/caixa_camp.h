#pragma once

#include <QLineEdit>

// A student field's text box. Fields come padded with spaces to their width, and whatever is
// typed after the padding would be cut away on save: End and a click past the text stop after
// the last character that is not a space.
class CaixaDeCamp : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    int finalDelText() const;
};
