#include "main_window/caixa_camp.h"

#include <QKeyEvent>
#include <QMouseEvent>

int CaixaDeCamp::finalDelText() const {
    const QString text = this->text();
    int final = int(text.size());
    while (final > 0 && text[final - 1] == u' ')
        --final;
    return final;
}

void CaixaDeCamp::keyPressEvent(QKeyEvent* event) {
    const bool selecciona = event->matches(QKeySequence::SelectEndOfLine);
    if (!selecciona && !event->matches(QKeySequence::MoveToEndOfLine)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int final = finalDelText();
    if (!selecciona) {
        setCursorPosition(final);
    } else {
        // The selection keeps its anchor: the end of it that is not the caret.
        int ancora = cursorPosition();
        if (hasSelectedText())
            ancora = selectionStart() == cursorPosition() ? selectionEnd() : selectionStart();
        setSelection(ancora, final - ancora);
    }
    event->accept();
}

void CaixaDeCamp::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (!hasSelectedText() && cursorPosition() > finalDelText())
        setCursorPosition(finalDelText());
}
