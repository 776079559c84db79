#include "services/BluetoothConnector.h"

#include <string_view>

namespace vantorelle {

std::optional<QString> BluetoothConnector::addressOf(const std::string& uid)
{
    constexpr std::string_view prefix = "bluez:";
    const std::string_view text(uid);
    if (!text.starts_with(prefix)) return std::nullopt;
    const std::string_view rest = text.substr(prefix.size());
    const std::size_t end = rest.rfind(':');
    if (end == std::string_view::npos || end == 0) return std::nullopt;
    const std::string_view direction = rest.substr(end + 1);
    if (direction != "input" && direction != "output") return std::nullopt;
    return QString::fromUtf8(rest.data(), static_cast<qsizetype>(end));
}

bool BluetoothConnector::sameAddress(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace vantorelle
