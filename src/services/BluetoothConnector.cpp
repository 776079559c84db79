#include "services/BluetoothConnector.h"

namespace vantorelle {

bool BluetoothConnector::sameAddress(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace vantorelle
