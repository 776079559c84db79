// What a card says and shows of its device, as values: its rank, its icon, its caption and status.
#include "ui/DeviceCard.h"

namespace vantorelle {

QString DeviceCard::rankText(int rank)
{
    return QString::asprintf("%02d", rank);
}

namespace {

// A device's kind as our own symbol and as the icon theme names it.
struct KindIcon {
    const char* symbol;
    const char* themeName;
};

KindIcon kindIcon(const DeviceRow& row, Direction direction)
{
    const bool input = direction == Direction::input;
    if (row.isBuiltIn) return {"laptopcomputer", "computer"};
    switch (row.kind) {
    case DeviceKind::headphones:
        return {"headphones", input ? "audio-headset" : "audio-headphones"};
    case DeviceKind::camera:
        return {"video", "camera-web"};
    case DeviceKind::display:
        return {"display", "video-display"};
    case DeviceKind::other:
        break;
    }
    return input ? KindIcon{"mic", "audio-input-microphone"} : KindIcon{"speaker.wave.2", "audio-speakers"};
}

} // namespace

QString DeviceCard::glyph(const DeviceRow& row, Direction direction)
{
    return QString::fromLatin1(kindIcon(row, direction).symbol);
}

QStringList DeviceCard::themeIconNames(const DeviceRow& row, Direction direction)
{
    QStringList names;
    // "audio-card" names the sound card, which a laptop's speakers and a jack share alike.
    const QString server = QString::fromStdString(row.iconName);
    if (!server.isEmpty() && !server.startsWith(QStringLiteral("audio-card"))) names << server;
    return names << QString::fromLatin1(kindIcon(row, direction).themeName);
}

std::optional<QString> DeviceCard::caption(const DeviceRow& row, Direction direction, bool isNextInLine)
{
    if (!row.isAutomatic) return tr("Never chosen automatically");
    if (direction == Direction::input && row.isBuiltIn) return tr("Sits out when the lid is closed");
    //: Of a device that is not connected: it keeps its rank until it comes back.
    if (!row.isConnected) return tr("Keeps its seat for when it returns");
    if (isNextInLine) return tr("Takes over if the active device disconnects");
    if (row.isActive) return std::nullopt;
    //: A connected device that waits behind others, ready to step in (theatre sense).
    return tr("The understudy");
}

QString DeviceCard::statusText(const DeviceRow& row, bool isNextInLine)
{
    if (row.lidBlocked) return tr("Unavailable — lid closed");
    if (!row.isConnected) return tr("Not connected");
    //: Status: the device that takes over when the active one goes.
    if (isNextInLine) return tr("Next in line");
    return tr("Available");
}

} // namespace vantorelle
