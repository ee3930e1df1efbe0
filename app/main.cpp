#include "app/CQvd50App.h"

int main(int argc, char **argv)
{
    CQvd50App app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return app.exec();
}
