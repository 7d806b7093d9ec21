#include <QCoreApplication>
#include <cstdio>

// The desktop program is not built yet; this placeholder only reports so.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::fputs("Tevora: the desktop user interface is not built yet.\n", stdout);
    return 0;
}
