#include "window/Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    zor::Form1 form;
    form.show();
    return app.exec();
}
