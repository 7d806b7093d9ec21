// Saves a picture of the whole X display (DISPLAY) as PNG: tevora_screenshot <file.png>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: tevora_screenshot FILE.png\n", stderr);
        return 2;
    }
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "tevora_screenshot: could not save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
