#include "ui/Application.h"

#include <cstdio>

namespace vantorelle {

int runApplication(int, char**)
{
    std::puts("Vantorelle: the window is not built yet.");
    return 0;
}

} // namespace vantorelle
