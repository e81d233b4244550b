// The floor of a start-up: an empty main window of the given size shown, grabbed and saved as
// a PNG file, then the program ends; as `ventora --screenshot FILE.png WIDTH HEIGHT` does with
// its own windows.
//   ventora_bench_empty_window FILE.png WIDTH HEIGHT

#include <QApplication>
#include <QMainWindow>
#include <QPixmap>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    QMainWindow window;
    window.resize(std::atoi(argv[2]), std::atoi(argv[3]));
    window.show();
    QApplication::processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
