#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorvel"));
    window.resize(1024, 768);
    window.show();
    return app.exec();
}
