// The program's entry point. Until the main window exists it only introduces
// itself.
#include "platform/base/AppIdentity.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(App::Title);
    QCoreApplication::setOrganizationName(App::CompanyName);
    std::printf("%s %d.%d.%d\n", App::Title, App::Major, App::Minor, App::Revision);
    return 0;
}
