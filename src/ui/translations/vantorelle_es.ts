<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>Notice</name>
    <message>
        <source>Input switched</source>
        <extracomment>Notice title: the default microphone (input device) changed.</extracomment>
        <translation>Entrada cambiada</translation>
    </message>
    <message>
        <source>Output switched</source>
        <translation>Salida cambiada</translation>
    </message>
    <message>
        <source>%1 connected — now active</source>
        <extracomment>%1 is the name of the device just plugged in, which is now the default.</extracomment>
        <translation>%1 conectado: ahora activo</translation>
    </message>
    <message>
        <source>%1 disconnected — %2 is now active</source>
        <extracomment>%1 is the device that went away, %2 the device that is now the default.</extracomment>
        <translation>%1 desconectado: %2 está activo ahora</translation>
    </message>
    <message>
        <source>Lid closed — %1 is now active</source>
        <extracomment>The laptop&apos;s lid; %1 is the device that is now the default.</extracomment>
        <translation>Tapa cerrada: %1 está activo ahora</translation>
    </message>
    <message>
        <source>Lid open — %1 is now active</source>
        <extracomment>The laptop&apos;s lid; %1 is the device that is now the default.</extracomment>
        <translation>Tapa abierta: %1 está activo ahora</translation>
    </message>
    <message>
        <source>%1 is now active</source>
        <extracomment>%1 is the device that is now the default.</extracomment>
        <translation>%1 está activo ahora</translation>
    </message>
    <message>
        <source>Device connected</source>
        <extracomment>Notice title; the body is the device&apos;s name.</extracomment>
        <translation>Dispositivo conectado</translation>
    </message>
    <message>
        <source>Device removed</source>
        <translation>Dispositivo quitado</translation>
    </message>
    <message>
        <source>Call audio</source>
        <extracomment>Notice title: a call&apos;s sound goes to a device of its own.</extracomment>
        <translation>Audio de llamada</translation>
    </message>
    <message>
        <source>%1 is used for this call</source>
        <extracomment>%1 is the device the call uses.</extracomment>
        <translation>%1 se usa para esta llamada</translation>
    </message>
</context>
<context>
    <name>vantorelle::ActivePill</name>
    <message>
        <source>Active</source>
        <extracomment>Status of the device in use now (a badge on its card).</extracomment>
        <translation>Activo</translation>
    </message>
</context>
<context>
    <name>vantorelle::ArrowButton</name>
    <message>
        <source>Move up</source>
        <extracomment>Moves the device one rank up in the priority list (button and menu item).</extracomment>
        <translation>Subir</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Bajar</translation>
    </message>
    <message>
        <source>Unavailable: already at the top</source>
        <translation>No disponible: ya está arriba del todo</translation>
    </message>
    <message>
        <source>Unavailable: already at the bottom</source>
        <translation>No disponible: ya está abajo del todo</translation>
    </message>
</context>
<context>
    <name>vantorelle::BluezConnector</name>
    <message>
        <source>the headset is off or out of range</source>
        <translation>los auriculares están apagados o fuera de alcance</translation>
    </message>
    <message>
        <source>the headset offers no sound connection</source>
        <translation>los auriculares no ofrecen conexión de audio</translation>
    </message>
    <message>
        <source>Bluetooth no longer knows this headset</source>
        <translation>el Bluetooth ya no conoce estos auriculares</translation>
    </message>
    <message>
        <source>Bluetooth is not running</source>
        <translation>el Bluetooth no está en marcha</translation>
    </message>
    <message>
        <source>Bluetooth is not ready yet</source>
        <translation>el Bluetooth aún no está listo</translation>
    </message>
    <message>
        <source>the headset is already being connected</source>
        <translation>los auriculares ya se están conectando</translation>
    </message>
    <message>
        <source>the headset refused the connection</source>
        <translation>los auriculares rechazaron la conexión</translation>
    </message>
    <message>
        <source>Could not connect: %1</source>
        <extracomment>Under a Bluetooth device&apos;s name; %1 is the reason, which starts in lower case.</extracomment>
        <translation>No se pudo conectar: %1</translation>
    </message>
</context>
<context>
    <name>vantorelle::CallsApplicationsCard</name>
    <message>
        <source>Applications appear here once they record sound.</source>
        <translation>Las aplicaciones aparecen aquí en cuanto graban sonido.</translation>
    </message>
    <message>
        <source>Its sound is treated as a call while it records and plays</source>
        <translation>Su sonido se trata como una llamada mientras graba y reproduce</translation>
    </message>
</context>
<context>
    <name>vantorelle::DeviceCard</name>
    <message>
        <source>Never chosen automatically</source>
        <translation>Nunca se elige automáticamente</translation>
    </message>
    <message>
        <source>Sits out when the lid is closed</source>
        <translation>Se aparta con la tapa cerrada</translation>
    </message>
    <message>
        <source>Keeps its seat for when it returns</source>
        <extracomment>Of a device that is not connected: it keeps its rank until it comes back.</extracomment>
        <translation>Conserva su puesto para cuando vuelva</translation>
    </message>
    <message>
        <source>Takes over if the active device disconnects</source>
        <translation>Toma el relevo si el activo se desconecta</translation>
    </message>
    <message>
        <source>The understudy</source>
        <extracomment>A connected device that waits behind others, ready to step in (theatre sense).</extracomment>
        <translation>El suplente</translation>
    </message>
    <message>
        <source>Unavailable — lid closed</source>
        <translation>No disponible: tapa cerrada</translation>
    </message>
    <message>
        <source>Not connected</source>
        <translation>No conectado</translation>
    </message>
    <message>
        <source>Next in line</source>
        <extracomment>Status: the device that takes over when the active one goes.</extracomment>
        <translation>Siguiente en la lista</translation>
    </message>
    <message>
        <source>Available</source>
        <translation>Disponible</translation>
    </message>
    <message>
        <source>Rename…</source>
        <translation>Cambiar nombre…</translation>
    </message>
    <message>
        <source>Never switch to this device</source>
        <translation>No cambiar nunca a este dispositivo</translation>
    </message>
    <message>
        <source>Allow switching to this device</source>
        <translation>Permitir cambiar a este dispositivo</translation>
    </message>
    <message>
        <source>Remove from list</source>
        <translation>Quitar de la lista</translation>
    </message>
    <message>
        <source>Connect</source>
        <extracomment>Menu item: connect a paired Bluetooth device.</extracomment>
        <translation>Conectar</translation>
    </message>
    <message>
        <source>, lid closed</source>
        <translation>, tapa cerrada</translation>
    </message>
    <message>
        <source>Rank %1 of %2, %3</source>
        <extracomment>Read by screen readers: &quot;Rank 1 of 5, active&quot;; %3 is the card&apos;s status, lowercased.</extracomment>
        <translation>Puesto %1 de %2, %3</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Connecting…</source>
        <translation>Conectando…</translation>
    </message>
</context>
<context>
    <name>vantorelle::DevicePaneView</name>
    <message>
        <source>Input Devices</source>
        <translation>Dispositivos de entrada</translation>
    </message>
    <message>
        <source>The highest-ranked microphone that is connected becomes active. Reorder with the arrows.</source>
        <translation>El micrófono conectado con mejor puesto pasa a estar activo. Reordena con las flechas.</translation>
    </message>
    <message>
        <source>No input devices yet.</source>
        <translation>Aún no hay dispositivos de entrada.</translation>
    </message>
    <message>
        <source>Auto-switch input</source>
        <translation>Cambiar la entrada automáticamente</translation>
    </message>
    <message>
        <source>If the laptop&apos;s lid is closed, the built-in microphone becomes unavailable and the next device in the stack becomes active.</source>
        <translation>Si la tapa del portátil está cerrada, el micrófono integrado deja de estar disponible y pasa a estar activo el siguiente dispositivo de la pila.</translation>
    </message>
    <message>
        <source>Calls use the first available microphone below; everything else records from the default</source>
        <translation>Las llamadas usan el primer micrófono disponible de abajo; todo lo demás graba desde el predeterminado</translation>
    </message>
    <message>
        <source>No input devices for calls yet.</source>
        <translation>Aún no hay dispositivos de entrada para llamadas.</translation>
    </message>
    <message>
        <source>Output Devices</source>
        <translation>Dispositivos de salida</translation>
    </message>
    <message>
        <source>Sound plays through the highest-ranked device that is connected. Reorder with the arrows.</source>
        <translation>El sonido sale por el dispositivo conectado con mejor puesto. Reordena con las flechas.</translation>
    </message>
    <message>
        <source>No output devices yet.</source>
        <translation>Aún no hay dispositivos de salida.</translation>
    </message>
    <message>
        <source>Auto-switch output</source>
        <translation>Cambiar la salida automáticamente</translation>
    </message>
    <message>
        <source>When the active device disconnects, sound falls back to the next connected seat instantly — no clicks in the system&apos;s sound settings.</source>
        <extracomment>&quot;Seat&quot;: a place in the ranked list of devices.</extracomment>
        <translation>Cuando el dispositivo activo se desconecta, el sonido pasa al instante al siguiente puesto conectado, sin clics en la configuración de sonido del sistema.</translation>
    </message>
    <message>
        <source>Calls play through the first available device below; all other sound stays on the default</source>
        <translation>Las llamadas suenan por el primer dispositivo disponible de abajo; el resto del sonido sigue en el predeterminado</translation>
    </message>
    <message>
        <source>No output devices for calls yet.</source>
        <translation>Aún no hay dispositivos de salida para llamadas.</translation>
    </message>
    <message>
        <source>Keeps the highest-ranked usable device active</source>
        <translation>Mantiene activo el dispositivo utilizable con mejor puesto</translation>
    </message>
    <message>
        <source>Use a different device for calls</source>
        <translation>Usar otro dispositivo para las llamadas</translation>
    </message>
    <message>
        <source>Priority list</source>
        <translation>Lista de prioridad</translation>
    </message>
    <message>
        <source>For calls</source>
        <translation>Para llamadas</translation>
    </message>
    <message>
        <source>Priority list for calls</source>
        <translation>Lista de prioridad para llamadas</translation>
    </message>
</context>
<context>
    <name>vantorelle::MeterBar</name>
    <message>
        <source>Input level</source>
        <translation>Nivel de entrada</translation>
    </message>
</context>
<context>
    <name>vantorelle::NotificationPreview</name>
    <message>
        <source>Notification preview</source>
        <translation>Vista previa de la notificación</translation>
    </message>
</context>
<context>
    <name>vantorelle::Pane</name>
    <message>
        <source>Input Devices</source>
        <translation>Dispositivos de entrada</translation>
    </message>
    <message>
        <source>Output Devices</source>
        <translation>Dispositivos de salida</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
</context>
<context>
    <name>vantorelle::PortalShortcuts</name>
    <message>
        <source>Next output</source>
        <extracomment>A global shortcut&apos;s description in the desktop&apos;s settings: make the next output device the default.</extracomment>
        <translation>Siguiente salida</translation>
    </message>
    <message>
        <source>Next input</source>
        <extracomment>A global shortcut&apos;s description in the desktop&apos;s settings: make the next input device the default.</extracomment>
        <translation>Siguiente entrada</translation>
    </message>
</context>
<context>
    <name>vantorelle::SettingsPaneView</name>
    <message>
        <source>Could not change the login item. Install Vantorelle and start the installed copy for this.</source>
        <translation>No se pudo cambiar el inicio automático. Instala Vantorelle e inicia la copia instalada para ello.</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Notifications and how Vantorelle runs.</source>
        <translation>Las notificaciones y cómo funciona Vantorelle.</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Notificaciones</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Calls applications</source>
        <translation>Aplicaciones de llamadas</translation>
    </message>
    <message>
        <source>Input device switched</source>
        <translation>Dispositivo de entrada cambiado</translation>
    </message>
    <message>
        <source>Output device switched</source>
        <translation>Dispositivo de salida cambiado</translation>
    </message>
    <message>
        <source>When a higher-ranked microphone takes over or the current one disconnects</source>
        <translation>Cuando un micrófono con mejor puesto toma el relevo o el actual se desconecta</translation>
    </message>
    <message>
        <source>When sound starts playing through a different device</source>
        <translation>Cuando el sonido empieza a salir por otro dispositivo</translation>
    </message>
    <message>
        <source>Device connected or removed</source>
        <translation>Dispositivo conectado o quitado</translation>
    </message>
    <message>
        <source>When any audio device appears or disappears, even if nothing switches</source>
        <translation>Cuando aparece o desaparece cualquier dispositivo de audio, aunque no cambie nada</translation>
    </message>
    <message>
        <source>Play sound</source>
        <translation>Reproducir sonido</translation>
    </message>
    <message>
        <source>A soft chime alongside each notification</source>
        <translation>Un suave aviso sonoro con cada notificación</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Iniciar al iniciar sesión</translation>
    </message>
    <message>
        <source>Starts Vantorelle in the background when you sign in</source>
        <translation>Inicia Vantorelle en segundo plano cuando inicias sesión</translation>
    </message>
    <message>
        <source>Could not save the settings. Changes last until Vantorelle quits.</source>
        <translation>No se pudo guardar la configuración. Los cambios duran hasta que Vantorelle se cierre.</translation>
    </message>
    <message>
        <source>While a checked application both records from a microphone and plays, all of its sound is treated as a call, even when it does not say so itself.</source>
        <translation>Mientras una aplicación marcada graba desde un micrófono y reproduce sonido a la vez, todo su sonido se trata como una llamada, aunque ella misma no lo indique.</translation>
    </message>
    <message>
        <source>Any application in a call</source>
        <translation>Cualquier aplicación en una llamada</translation>
    </message>
    <message>
        <source>Treat every application that records from a microphone and plays at once as in a call</source>
        <translation>Tratar como en llamada a toda aplicación que graba desde un micrófono y reproduce a la vez</translation>
    </message>
</context>
<context>
    <name>vantorelle::SidebarView</name>
    <message>
        <source>Auto device switching</source>
        <translation>Cambio automático de dispositivo</translation>
    </message>
    <message>
        <source>Panes</source>
        <translation>Paneles</translation>
    </message>
</context>
<context>
    <name>vantorelle::TrayMenu</name>
    <message>
        <source>Output</source>
        <extracomment>Tray menu section heading over the output devices (as in the desktop&apos;s sound settings).</extracomment>
        <translation>Salida</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>Entrada</translation>
    </message>
    <message>
        <source>Open Vantorelle</source>
        <translation>Abrir Vantorelle</translation>
    </message>
    <message>
        <source>Quit Vantorelle</source>
        <translation>Salir de Vantorelle</translation>
    </message>
    <message>
        <source>%1 (never automatic)</source>
        <extracomment>A device in the tray menu that the rule never switches to; it can still be picked here.</extracomment>
        <translation>%1 (nunca automático)</translation>
    </message>
</context>
</TS>
