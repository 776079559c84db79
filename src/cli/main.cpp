#include "ui/Application.h"

int main(int argc, char** argv)
{
    return vantorelle::runApplication(argc, argv);
}
