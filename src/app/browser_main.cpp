// vyne-browser: the reader. One optional argument: a library file to open.
#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("VYNE Browser");
    QMessageBox::information(nullptr, "VYNE Browser", "The reader's window is not built yet.");
    return 0;
}
