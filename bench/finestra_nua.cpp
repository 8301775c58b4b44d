// The floors of the window's start-up: the toolkit's own application showing one window, empty
// or with one line of text (a window with text also starts the font system before it maps).
//   finestra_nua [--text]
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication aplicacio(argc, argv);
    const bool ambText = argc > 1 && QByteArray(argv[1]) == "--text";
    QWidget buida;
    QLabel etiqueta(QStringLiteral("Finestra nua"));
    QWidget& finestra = ambText ? etiqueta : buida;
    finestra.setWindowTitle(QStringLiteral("Finestra nua"));
    finestra.show();
    return aplicacio.exec();
}
